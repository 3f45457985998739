#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "hc11run/terminal_session.h"
#include "peripherals/sci_receiver.h"

namespace tarnwick {

// The bytes of --sci-in, read without blocking between batches of steps and queued for the
// SCI receiver, a few hundred ahead of it. Standard input that is a terminal is switched to
// pass each key as it is typed while the feed lives, and its Ctrl+] ends the run.
class InputFeed {
  public:
    static constexpr char kEndKey = 0x1D;  // Ctrl+]

    // "-" reads standard input. Throws std::runtime_error when the file cannot be opened.
    explicit InputFeed(const std::string& path);
    ~InputFeed();
    InputFeed(const InputFeed&) = delete;
    InputFeed& operator=(const InputFeed&) = delete;

    // Queues what has come; true when the end key was typed.
    bool poll(SciReceiver& receiver);
    // The input has ended: everything it held is queued or received.
    bool ended() const { return ended_; }

  private:
    using Clock = std::chrono::steady_clock;

    int fd_ = -1;
    bool ownsFd_ = false;
    bool ended_ = false;  // end of the file
    std::optional<RawTerminal> terminal_;
    Clock::time_point nextLook_{};  // after a look that found nothing
};

}  // namespace tarnwick
