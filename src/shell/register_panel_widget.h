#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "debugger/register_panel.h"

class QLabel;

namespace tarnwick {

// The register fields of the main window: one label per field of the register panel model,
// named as the model names it, with the captions and hints beside them. It formats nothing
// itself; `show` copies the model's texts and colours.
class RegisterPanelWidget : public QWidget {
    Q_OBJECT

  public:
    explicit RegisterPanelWidget(QWidget* parent = nullptr);

    void show(const RegisterPanel& panel);
    QLabel* label(PanelField field) const { return labels_[static_cast<std::size_t>(field)]; }

    // A click on a register's field or caption (SP, IX, IY, D, A, B).
    std::function<void(PanelRegister)> registerClicked;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* addCaption(const PanelCaption& caption);
    QLabel* addField(PanelField field);

    std::array<QLabel*, kPanelFieldCount> labels_{};
};

}  // namespace tarnwick
