#pragma once

#include <QString>
#include <utility>
#include <vector>

#include "core/machine.h"
#include "peripherals/register_bits.h"
#include "shell/session_window.h"

class QLabel;

namespace tarnwick {

// What the peripheral windows share: values drawn bold in a fixed-pitch font, flags that each
// show one named register bit as "1" or "0", and a refresh whenever the window is shown.
class PeripheralWindow : public SessionWindow {
    Q_OBJECT

  public:
    // Settles the peripherals and rereads the window's own fields, then its register bits.
    void refresh() final;

  protected:
    PeripheralWindow(Machine& machine, const QString& objectName, const QString& title,
                     QWidget* parent);

    // A value field; a program's bytes shown in it are plain text, never markup.
    static QLabel* valueLabel(const QString& objectName,
                              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    // The bit's caption, "TIE=".
    static QString bitCaption(const RegisterBit& bit);
    // A field named prefix + the bit's name ("Tx" + "TIE") that every refresh sets from
    // the register.
    QLabel* bitLabel(const QString& prefix, const RegisterBit& bit);

    // The fields other than the register bits.
    virtual void refreshFields() = 0;

    void showEvent(QShowEvent* event) override;

    Machine& machine_;

  private:
    std::vector<std::pair<QLabel*, RegisterBit>> bits_;
};

}  // namespace tarnwick
