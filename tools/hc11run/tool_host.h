#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/host.h"
#include "core/machine.h"
#include "core/register_snapshot.h"
#include "hc11run/run_ending.h"

namespace tarnwick {

// Where the program stopped itself or was stopped by an invalid access, taken when the
// simulator reports it, before the reset that may follow.
struct Fault {
    RunEnd end = RunEnd::IllegalOpcode;
    std::string message;
    std::uint16_t address = 0;         // of the instruction, or where the interrupt came
    std::vector<std::uint8_t> opcode;  // the opcode byte, with its page prefix
    RegisterSnapshot registers;
    std::uint32_t cycleCounter = 0;
};

// The command line has no dialogs: messages go to stderr and invalid-access warnings get
// the answer chosen with --on-invalid. The first report that ends the run is kept as its
// fault.
class ToolHost : public Host {
  public:
    explicit ToolHost(bool continueOnInvalid, std::optional<std::uint32_t> seed = std::nullopt)
        : continueOnInvalid_(continueOnInvalid), seed_(seed) {}

    // The machine whose state a fault records.
    void watch(const Machine& machine) { machine_ = &machine; }

    // An invalid access was answered with No, so the machine reset and the run ended.
    bool invalidAccessStopped = false;
    std::optional<Fault> fault;
    // The seed of the random memory fill, once one was asked for.
    std::optional<std::uint32_t> seedUsed;
    // The run's own work between batches of steps: input, pacing, signals.
    std::function<void()> betweenBatches;

    bool warnYesNo(std::string_view text) override;
    void showWarning(std::string_view text) override;
    void showError(std::string_view text) override;
    void showInformation(std::string_view text) override;

    // The run loop calls it between batches of steps.
    void processEvents() override {
        if (betweenBatches) betweenBatches();
    }
    void setRefreshTimerActive(bool) override {}

    std::uint32_t timeSeed() override;
    std::string thousandsSeparator() override { return ","; }
    std::string decimalSeparator() override { return "."; }

  private:
    void record(RunEnd end, std::string_view text);

    bool continueOnInvalid_;
    std::optional<std::uint32_t> seed_;
    const Machine* machine_ = nullptr;
};

}  // namespace tarnwick
