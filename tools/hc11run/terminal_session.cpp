#include "hc11run/terminal_session.h"

#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace tarnwick {
namespace {

constexpr std::array kEndSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Shared with the signal handlers, which may only touch these.
termios cookedTerminal;
termios rawTerminal;
volatile std::sig_atomic_t terminalRaw = 0;
volatile std::sig_atomic_t endSignal = 0;
struct sigaction suspendAction;
struct sigaction previousSuspendAction;
std::array<struct sigaction, kEndSignals.size()> previousEndActions;

void setTerminal(const termios& settings) {
    tcsetattr(STDIN_FILENO, TCSANOW, &settings);
}

extern "C" void onEndSignal(int signal) {
    const int savedErrno = errno;
    if (terminalRaw) {
        setTerminal(cookedTerminal);
        terminalRaw = 0;
    }
    endSignal = signal;
    errno = savedErrno;
}

// Stops hc11run as Ctrl+Z would without the handler, with the terminal as the shell expects
// it, and makes it raw again once the run is continued in the foreground.
extern "C" void onSuspend(int) {
    const int savedErrno = errno;
    const bool raw = terminalRaw;
    if (raw) setTerminal(cookedTerminal);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(SIGTSTP, &standard, nullptr);
    sigset_t suspend;
    sigemptyset(&suspend);
    sigaddset(&suspend, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &suspend, nullptr);
    raise(SIGTSTP);
    // Continued.
    sigaction(SIGTSTP, &suspendAction, nullptr);
    if (raw && terminalRaw && tcgetpgrp(STDIN_FILENO) == getpgrp()) setTerminal(rawTerminal);
    errno = savedErrno;
}

}  // namespace

EndSignals::EndSignals() {
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : kEndSignals) sigaddset(&action.sa_mask, signal);
    for (std::size_t i = 0; i < kEndSignals.size(); ++i) {
        sigaction(kEndSignals[i], nullptr, &previousEndActions[i]);
        if (previousEndActions[i].sa_handler != SIG_IGN)
            sigaction(kEndSignals[i], &action, nullptr);
    }
}

EndSignals::~EndSignals() {
    for (std::size_t i = 0; i < kEndSignals.size(); ++i)
        sigaction(kEndSignals[i], &previousEndActions[i], nullptr);
}

int EndSignals::received() {
    return endSignal;
}

RawTerminal::RawTerminal() {
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &cookedTerminal) != 0) return;
    rawTerminal = cookedTerminal;
    rawTerminal.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    rawTerminal.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON);
    rawTerminal.c_cc[VMIN] = 1;
    rawTerminal.c_cc[VTIME] = 0;

    suspendAction = {};
    suspendAction.sa_handler = onSuspend;
    sigemptyset(&suspendAction.sa_mask);
    sigaction(SIGTSTP, nullptr, &previousSuspendAction);
    if (previousSuspendAction.sa_handler != SIG_IGN) sigaction(SIGTSTP, &suspendAction, nullptr);

    // Raw before the switch, so that a signal arriving meanwhile sets the terminal back.
    terminalRaw = 1;
    setTerminal(rawTerminal);
    active_ = true;
}

RawTerminal::~RawTerminal() {
    if (!active_) return;
    sigaction(SIGTSTP, &previousSuspendAction, nullptr);
    if (terminalRaw) setTerminal(cookedTerminal);
    terminalRaw = 0;
}

}  // namespace tarnwick
