#include "hc11run/input_feed.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace tarnwick {
namespace {

// Enough for a receiver that takes a byte per frame; a file is not read whole up front.
constexpr std::size_t kQueueAhead = 256;
// How long an input that had nothing waits before it is looked at again: keys show up
// within it, and the run is not slowed by a system call per batch.
constexpr std::chrono::milliseconds kIdleLook{1};

}  // namespace

InputFeed::InputFeed(const std::string& path) {
    if (path == "-") {
        fd_ = STDIN_FILENO;
        terminal_.emplace();
        if (!terminal_->active()) terminal_.reset();
        return;
    }
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw std::runtime_error("--sci-in: cannot open " + path + ": " + std::strerror(errno));
    ownsFd_ = true;
    struct stat status {};
    if (fstat(fd_, &status) == 0 && S_ISDIR(status.st_mode)) {
        close(fd_);
        throw std::runtime_error("--sci-in: " + path + " is a folder");
    }
}

InputFeed::~InputFeed() {
    if (ownsFd_) close(fd_);
}

bool InputFeed::poll(SciReceiver& receiver) {
    if (ended_ || receiver.queuedInputCount() >= kQueueAhead) return false;
    const Clock::time_point now = Clock::now();
    if (now < nextLook_) return false;

    pollfd ready{fd_, POLLIN, 0};
    if (::poll(&ready, 1, 0) <= 0) {
        nextLook_ = now + kIdleLook;
        return false;
    }
    std::array<char, kQueueAhead> bytes;
    const ssize_t count = read(fd_, bytes.data(), kQueueAhead - receiver.queuedInputCount());
    if (count < 0 && errno != EINTR && errno != EAGAIN)
        std::fprintf(stderr, "hc11run: --sci-in: %s; no more input\n", std::strerror(errno));
    if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN)) {
        ended_ = true;
        return false;
    }
    for (ssize_t i = 0; i < count; ++i) {
        if (terminal_ && bytes[i] == kEndKey) return true;
        receiver.queueInput(static_cast<std::uint8_t>(bytes[i]));
    }
    return false;
}

}  // namespace tarnwick
