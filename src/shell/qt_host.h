#pragma once

#include <QElapsedTimer>
#include <QLocale>
#include <QString>
#include <functional>
#include <optional>

#include "core/host.h"

class QWidget;

namespace tarnwick {

// The title of every message box.
inline constexpr auto kProgramName = "Tarnwick";

enum class MessageBoxKind { YesNoWarning, Warning, Error, Information };

// A modal QMessageBox of the given kind over parent: a warning with Yes and No, or a warning,
// error or information with OK. Returns true when the user chose Yes or OK.
bool showMessageBox(QWidget* parent, MessageBoxKind kind, const QString& text);

// The simulator's way to the platform, on Qt.
class QtHost : public Host {
  public:
    // Shows one message and returns the user's answer (true for Yes and for OK).
    using MessageBoxFunction = std::function<bool(MessageBoxKind kind, const QString& text)>;
    // Milliseconds since any fixed moment.
    using Clock = std::function<qint64()>;

    // The run loops pump events after every batch of 100 or 1000 steps, far more often than
    // the user interface needs; pumping at most once in this many milliseconds keeps Pause
    // and the refresh timer responsive without slowing the simulation.
    static constexpr qint64 kEventPumpIntervalMs = 10;

    // Boxes open over dialogParent; numbers follow locale.
    explicit QtHost(QWidget* dialogParent = nullptr, QLocale locale = QLocale());
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    void setMessageBox(MessageBoxFunction messageBox) { messageBox_ = std::move(messageBox); }
    void setClock(Clock clock) { clock_ = std::move(clock); }
    // The main window's switch for the peripheral windows' refresh timer.
    void setRefreshTimerSwitch(std::function<void(bool active)> timerSwitch) {
        refreshTimerSwitch_ = std::move(timerSwitch);
    }

    bool warnYesNo(std::string_view text) override;
    void showWarning(std::string_view text) override;
    void showError(std::string_view text) override;
    void showInformation(std::string_view text) override;
    void processEvents() override;
    void setRefreshTimerActive(bool active) override;
    std::uint32_t timeSeed() override;
    std::string thousandsSeparator() override;
    std::string decimalSeparator() override;

  private:
    bool ask(MessageBoxKind kind, std::string_view text);

    QElapsedTimer sinceStart_;
    QLocale locale_;
    MessageBoxFunction messageBox_;
    Clock clock_;
    std::function<void(bool)> refreshTimerSwitch_;
    std::optional<qint64> lastPump_;
};

}  // namespace tarnwick
