#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace tarnwick {

// "S19 Option": the first address the S19 build disassembles, up to four hex digits.
class TS19Dlg : public QDialog {
    Q_OBJECT

  public:
    // Shows `start`; OK writes the box's text back into it, Cancel leaves it as it was.
    explicit TS19Dlg(std::string& start, QWidget* parent = nullptr);

  public slots:
    void OKBtnClick();

  private:
    std::string& start_;
    QLineEdit* address_;
};

}  // namespace tarnwick
