#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>

#include "core/host.h"

class QLineEdit;

namespace tarnwick {

// "Run Free to Cycle": the cycle count the program shall run to.
class TRunToCycleDlg : public QDialog {
    Q_OBJECT

  public:
    // Shows the current cycle count in the host's number format; `ECycle` starts empty.
    TRunToCycleDlg(std::uint32_t currentCycle, Host& host, QWidget* parent = nullptr);

    // The cycle confirmed with OK; none until then.
    std::optional<std::uint32_t> target() const { return target_; }

  public slots:
    // An empty box means cycle 0 and a number past the 32-bit range the largest count. Text
    // that is not a number is reported and the dialog stays open on it.
    void OKBtnClick();

  private:
    Host& host_;
    QLineEdit* cycle_;
    std::optional<std::uint32_t> target_;
};

// Debug|Run Freely to Cycle: the cycle to run to, or none when the user cancelled (then
// nothing runs).
std::optional<std::uint32_t> askRunToCycleTarget(std::uint32_t currentCycle, Host& host,
                                                 QWidget* parent);

}  // namespace tarnwick
