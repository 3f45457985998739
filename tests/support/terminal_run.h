#pragma once

// A built program run on a pseudo-terminal of its own, as from a shell at a terminal: keys
// typed into it, its output read back, its terminal settings looked at.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::testing {

class TerminalRun {
  public:
    TerminalRun(const std::string& program, const std::vector<std::string>& arguments) {
        if (openpty(&terminal_, &line_, nullptr, nullptr, nullptr) != 0) return;
        settingsAtStart_ = settings();
        pid_ = fork();
        if (pid_ == 0) {
            setsid();
            ioctl(line_, TIOCSCTTY, 0);
            for (int fd = 0; fd < 3; ++fd) dup2(line_, fd);
            close(line_);
            close(terminal_);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
    }
    ~TerminalRun() {
        if (pid_ > 0 && status_ == kRunning) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (terminal_ >= 0) close(terminal_);
        if (line_ >= 0) close(line_);
    }
    TerminalRun(const TerminalRun&) = delete;
    TerminalRun& operator=(const TerminalRun&) = delete;

    pid_t pid() const { return pid_; }

    void type(std::string_view keys) {
        if (write(terminal_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size()))
            output_ += "[typing failed]";
    }

    // Reads until the output holds `text` after what has been waited for so far; false when
    // the program ended or a minute passed without it.
    bool waitFor(std::string_view text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (output_.find(text, seen_) == std::string::npos) {
            if (!running() || std::chrono::steady_clock::now() > deadline) {
                while (readSome(0)) {
                }
                if (output_.find(text, seen_) == std::string::npos) return false;
                break;
            }
            readSome(20);
        }
        seen_ = output_.find(text, seen_) + text.size();
        return true;
    }

    // Waits for the program to end and reads the rest of its output: the exit status, or
    // 128 + the signal that killed it, or -1 after a minute.
    int finish() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (running() && std::chrono::steady_clock::now() < deadline) readSome(20);
        while (readSome(0)) {
        }
        return status_ == kRunning ? -1 : status_;
    }

    const std::string& output() const { return output_; }

    termios settings() const {
        termios now{};
        tcgetattr(line_, &now);
        return now;
    }
    const termios& settingsAtStart() const { return settingsAtStart_; }

  private:
    static constexpr int kRunning = -2;

    bool running() {
        int raw = 0;
        if (status_ == kRunning && waitpid(pid_, &raw, WNOHANG) == pid_)
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return status_ == kRunning;
    }

    // True when some output came within the time.
    bool readSome(int milliseconds) {
        pollfd ready{terminal_, POLLIN, 0};
        if (poll(&ready, 1, milliseconds) <= 0) return false;
        char buffer[4096];
        const ssize_t count = read(terminal_, buffer, sizeof buffer);
        if (count <= 0) return false;
        output_.append(buffer, static_cast<std::size_t>(count));
        return true;
    }

    int terminal_ = -1;  // the side the test types into and reads from
    int line_ = -1;      // the program's side
    pid_t pid_ = -1;
    int status_ = kRunning;
    std::string output_;
    std::size_t seen_ = 0;
    termios settingsAtStart_{};
};

}  // namespace tarnwick::testing
