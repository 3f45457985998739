#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/host.h"

namespace tarnwick::testing {

// A host that records every message and answers warnings from a script (Yes when the script
// has run out).
class FakeHost : public Host {
  public:
    struct Message {
        enum Kind { YesNoWarning, Warning, Error, Information } kind;
        std::string text;
    };

    std::deque<bool> yesNoAnswers;
    std::vector<Message> messages;
    int eventPumps = 0;
    std::vector<bool> refreshTimerChanges;
    std::function<void()> onProcessEvents;  // lets a test press Pause between batches
    std::uint32_t seed = 12345;

    bool warnYesNo(std::string_view text) override {
        messages.push_back({Message::YesNoWarning, std::string(text)});
        if (yesNoAnswers.empty()) return true;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    void showWarning(std::string_view text) override {
        messages.push_back({Message::Warning, std::string(text)});
    }
    void showError(std::string_view text) override {
        messages.push_back({Message::Error, std::string(text)});
    }
    void showInformation(std::string_view text) override {
        messages.push_back({Message::Information, std::string(text)});
    }
    void processEvents() override {
        ++eventPumps;
        if (onProcessEvents) onProcessEvents();
    }
    void setRefreshTimerActive(bool active) override { refreshTimerChanges.push_back(active); }
    std::uint32_t timeSeed() override { return seed; }
    std::string thousandsSeparator() override { return ","; }
    std::string decimalSeparator() override { return "."; }
};

}  // namespace tarnwick::testing
