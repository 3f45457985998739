#include "shell/sci_terminal_window.h"

#include <QHBoxLayout>
#include <QLabel>
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
      queued_(valueLabel(QStringLiteral("LQueued"))),
      followTimer_(new QTimer(this)) {
    view_->setObjectName(QStringLiteral("Screen"));
    setFocusProxy(view_);
    connect(view_, &SciTerminalView::typed, this, &TSubSCITermForm::send);
    connect(view_, &SciTerminalView::clearRequested, this, [this] {
        terminal_.clear();
        refresh();
    });
    followTimer_->setInterval(kFollowIntervalMs);
    connect(followTimer_, &QTimer::timeout, this, &TSubSCITermForm::refresh);

    // RE clear keeps typed bytes waiting; the two fields tell why nothing arrives.
    auto* status = new QHBoxLayout;
    status->setContentsMargins(6, 2, 6, 4);
    status->addWidget(new QLabel(bitCaption(bit::kRe)));
    status->addWidget(bitLabel(QStringLiteral("L"), bit::kRe));
    status->addSpacing(12);
    status->addWidget(new QLabel(QStringLiteral("Queued=")));
    status->addWidget(queued_);
    status->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_);
    layout->addLayout(status);
    refresh();
}

void TSubSCITermForm::refreshFields() {
    view_->showOutput(terminal_);
    queued_->setNum(static_cast<int>(machine_.peripherals.sciReceiver.queuedInputCount()));
}

// Bytes go down the line only while the window is open; the receiver takes them between two
// steps, also while a run pumps events.
void TSubSCITermForm::send(const QByteArray& bytes) {
    SciReceiver& receiver = machine_.peripherals.sciReceiver;
    if (!receiver.inputAttached()) return;
    for (const char byte : bytes) receiver.queueInput(static_cast<std::uint8_t>(byte));
    refresh();
}

void TSubSCITermForm::showEvent(QShowEvent* event) {
    SciReceiver& receiver = machine_.peripherals.sciReceiver;
    if (!receiver.inputAttached()) receiver.attachInput();
    followTimer_->start();
    PeripheralWindow::showEvent(event);
}

void TSubSCITermForm::hideEvent(QHideEvent* event) {
    followTimer_->stop();
    PeripheralWindow::hideEvent(event);
}

void TSubSCITermForm::closeEvent(QCloseEvent* event) {
    SciReceiver& receiver = machine_.peripherals.sciReceiver;
    if (receiver.inputAttached()) receiver.detachInput();
    PeripheralWindow::closeEvent(event);
}

}  // namespace tarnwick
