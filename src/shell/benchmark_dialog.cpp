#include "shell/benchmark_dialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "shell/qt_text.h"

namespace tarnwick {

namespace {

// Columns of one half of the window: caption, chip time, result.
constexpr int kColumnsPerHalf = 3;

}  // namespace

TBenchNoDlg::TBenchNoDlg(Machine& machine, BenchmarkClock& clock, QWidget* parent)
    : QDialog(parent), benchmark_(machine, clock), close_(new QPushButton(tr("Close"))) {
    setObjectName(QStringLiteral("TBenchNoDlg"));
    setWindowTitle(qText(kBenchmarkCaption));
    setWindowFlag(Qt::WindowCloseButtonHint, false);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    for (int half = 0; half < 2; ++half) {
        const int column = half * kColumnsPerHalf;
        grid->addWidget(new QLabel(tr("Test")), 0, column);
        grid->addWidget(new QLabel(tr("E=2MHz")), 0, column + 1);
        grid->addWidget(new QLabel(tr("(uS)")), 0, column + 2);
    }
    for (std::size_t test = 0; test < kBenchmarkTests.size(); ++test) {
        const bool left = test < kBenchmarkLeftColumnTests;
        const int row = 1 + static_cast<int>(left ? test : test - kBenchmarkLeftColumnTests);
        const int column = left ? 0 : kColumnsPerHalf;
        grid->addWidget(new QLabel(qText(kBenchmarkTests[test].caption)), row, column);
        grid->addWidget(new QLabel(qText(kBenchmarkTests[test].chipTime)), row, column + 1);
        auto* result = new QLabel;
        result->setObjectName(qText(kBenchmarkTests[test].resultLabel));
        grid->addWidget(result, row, column + 2);
        results_[test] = result;
        showResult(test);
    }

    close_->setObjectName(QStringLiteral("BClose"));
    close_->setEnabled(false);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    benchmark_.onResultChanged = [this](std::size_t test) { showResult(test); };
}

void TBenchNoDlg::Start() {
    benchmark_.start();
    close_->setEnabled(benchmark_.closeEnabled());
    if (close_->isEnabled()) close_->setFocus();
}

void TBenchNoDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once the window has been drawn with every result "Waiting...".
    QTimer::singleShot(0, this, &TBenchNoDlg::Start);
}

void TBenchNoDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void TBenchNoDlg::reject() {}

void TBenchNoDlg::showResult(std::size_t test) {
    results_[test]->setText(qText(benchmark_.result(test)));
}

void showInstructionBenchmark(Machine& machine, QWidget* parent) {
    SteadyBenchmarkClock clock;
    TBenchNoDlg dialog(machine, clock, parent);
    dialog.exec();
}

}  // namespace tarnwick
