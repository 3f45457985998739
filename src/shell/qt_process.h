#pragma once

#include <QProcess>

#include "project/process.h"

namespace tarnwick {

// A program run by the platform. It runs in a process group of its own, so terminating it
// also ends the programs it started (the shell of a batch line runs the assembler as its
// child). There is no console to show: `shown` is left to the caller, which may show the
// output file as it grows.
class QtProcess : public Process {
  public:
    QtProcess();
    ~QtProcess() override;

    bool start(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
               const std::filesystem::path& output, bool shown) override;
    // -1 for a program that never started or was killed.
    std::optional<int> exitCode() override;
    void terminate() override;
    std::string errorOutput() override;

  private:
    QProcess process_;
    bool started_ = false;
};

}  // namespace tarnwick
