#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "core/host.h"

namespace tarnwick {

// The command line has no dialogs: messages go to stderr and invalid-access warnings get
// the answer chosen with --on-invalid.
class ToolHost : public Host {
  public:
    explicit ToolHost(bool continueOnInvalid) : continueOnInvalid_(continueOnInvalid) {}

    // An invalid access was answered with No, so the machine reset and the run ended.
    bool invalidAccessStopped = false;
    // The run's own work between batches of steps: input, pacing, signals.
    std::function<void()> betweenBatches;

    bool warnYesNo(std::string_view text) override {
        print(text);
        print(continueOnInvalid_ ? "Answered Yes (--on-invalid=continue)"
                                 : "Answered No (--on-invalid=stop)");
        if (!continueOnInvalid_) invalidAccessStopped = true;
        return continueOnInvalid_;
    }
    void showWarning(std::string_view text) override { print(text); }
    void showError(std::string_view text) override { print(text); }
    void showInformation(std::string_view text) override { print(text); }

    // The run loop calls it between batches of steps.
    void processEvents() override {
        if (betweenBatches) betweenBatches();
    }
    void setRefreshTimerActive(bool) override {}

    std::uint32_t timeSeed() override {
        return static_cast<std::uint32_t>(
            std::chrono::system_clock::now().time_since_epoch().count());
    }
    std::string thousandsSeparator() override { return ","; }
    std::string decimalSeparator() override { return "."; }

  private:
    static void print(std::string_view text) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }

    bool continueOnInvalid_;
};

}  // namespace tarnwick
