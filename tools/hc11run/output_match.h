#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace tarnwick {

// Watches the bytes the SCI transmits for the moment they end with a given text.
class OutputMatch {
  public:
    explicit OutputMatch(std::string text) : text_(std::move(text)) { tail_.reserve(text_.size()); }

    // True when the output, this byte included, ends with the text.
    bool add(std::uint8_t byte) {
        if (tail_.size() == text_.size()) tail_.erase(0, 1);
        tail_ += static_cast<char>(byte);
        return tail_ == text_;
    }

  private:
    std::string text_;
    std::string tail_;  // the last bytes, as many as the text has
};

}  // namespace tarnwick
