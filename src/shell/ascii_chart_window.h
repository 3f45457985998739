#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>

namespace tarnwick {

// What the chart's cell for a code 00-7F shows: the control name below 20, "SP", "DEL", or
// the character itself.
QString asciiCellText(std::uint8_t code);
// The cell's tooltip: the code in hex and decimal, "H'27', D'39'".
QString asciiCellToolTip(std::uint8_t code);

// "ASCII Chart": the 128 codes in 8 columns by high nibble and 16 rows by low nibble.
class TASCIIForm : public QWidget {
    Q_OBJECT

  public:
    explicit TASCIIForm(QWidget* parent = nullptr);

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace tarnwick
