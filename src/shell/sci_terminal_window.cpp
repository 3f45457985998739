#include "shell/sci_terminal_window.h"

#include <QTimer>
#include <QVBoxLayout>

#include "shell/sci_terminal_view.h"

namespace tarnwick {

namespace {

// Often enough for typing to feel immediate, seldom enough to cost a run nothing.
constexpr int kFollowIntervalMs = 40;

}  // namespace

TSubSCITermForm::TSubSCITermForm(Machine& machine, SciTerminal& terminal, QWidget* parent)
    : PeripheralWindow(machine, QStringLiteral("SubSCITermForm"), QStringLiteral("SCI Terminal"),
                       parent),
      terminal_(terminal),
      view_(new SciTerminalView),
      followTimer_(new QTimer(this)) {
    view_->setObjectName(QStringLiteral("Screen"));
    setFocusProxy(view_);
    connect(view_, &SciTerminalView::clearRequested, this, [this] {
        terminal_.clear();
        refresh();
    });
    followTimer_->setInterval(kFollowIntervalMs);
    connect(followTimer_, &QTimer::timeout, this, &TSubSCITermForm::refresh);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    refresh();
}

void TSubSCITermForm::refreshFields() {
    view_->showOutput(terminal_);
}

void TSubSCITermForm::showEvent(QShowEvent* event) {
    followTimer_->start();
    PeripheralWindow::showEvent(event);
}

void TSubSCITermForm::hideEvent(QHideEvent* event) {
    followTimer_->stop();
    PeripheralWindow::hideEvent(event);
}

}  // namespace tarnwick
