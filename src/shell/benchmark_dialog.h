#pragma once

#include <QDialog>
#include <array>

#include "disasm/instruction_benchmark.h"

class QLabel;
class QPushButton;

namespace tarnwick {

// "Benchmarking some non-I/O instructions...": the host time of 33 instructions next to the
// real chip's, measured on the live machine as soon as the window is shown. It closes only by
// its Close button, which is enabled once the last test is done.
class TBenchNoDlg : public QDialog {
    Q_OBJECT

  public:
    TBenchNoDlg(Machine& machine, BenchmarkClock& clock, QWidget* parent = nullptr);

    const InstructionBenchmark& benchmark() const { return benchmark_; }

  public slots:
    // Runs the tests; only the first call does anything.
    void Start();
    // Esc would close the window while a test runs: it does nothing here.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void showResult(std::size_t test);

    InstructionBenchmark benchmark_;
    std::array<QLabel*, kBenchmarkTests.size()> results_{};
    QPushButton* close_;
};

// Benchmark|Non I/O Instructions: runs the benchmark window modally, timed by the steady clock.
void showInstructionBenchmark(Machine& machine, QWidget* parent);

}  // namespace tarnwick
