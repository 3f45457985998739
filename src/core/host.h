#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// The simulator's only way to the platform: message boxes, the event pump, the clock and
// the user's number format. The shell implements it with the toolkit, tests with a script.
class Host {
  public:
    virtual ~Host() = default;

    // A modal warning with Yes and No; true when the user chose Yes.
    virtual bool warnYesNo(std::string_view text) = 0;
    // Modal boxes with one OK button.
    virtual void showWarning(std::string_view text) = 0;
    virtual void showError(std::string_view text) = 0;
    virtual void showInformation(std::string_view text) = 0;

    // Lets the user interface handle pending input and timers, then returns.
    virtual void processEvents() = 0;
    // The run loops switch the peripheral windows' refresh timer on and off around a run.
    virtual void setRefreshTimerActive(bool active) = 0;

    // Seed for the pseudo-random memory fill.
    virtual std::uint32_t timeSeed() = 0;
    virtual std::string thousandsSeparator() = 0;
    virtual std::string decimalSeparator() = 0;
};

}  // namespace tarnwick
