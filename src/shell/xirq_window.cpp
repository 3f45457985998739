#include "shell/xirq_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/number_text.h"

namespace tarnwick {

namespace {

void showButton(QPushButton* button, const XirqButton& state, const QString& normalCaption) {
    button->setText(state.pendingCaption ? QStringLiteral("&XIRQ Pending...") : normalCaption);
    button->setEnabled(state.enabled);
}

}  // namespace

TIntrForm::TIntrForm(Machine& machine, QWidget* parent)
    : PeripheralWindow(machine, QStringLiteral("IntrForm"), QStringLiteral("XIRQ"), parent),
      handler_(valueLabel(QStringLiteral("LXIRQHandler"))),
      level_(new QPushButton),
      pulse_(new QPushButton) {
    level_->setObjectName(QStringLiteral("BXIRQLevel"));
    pulse_->setObjectName(QStringLiteral("BXIRQPulse"));
    connect(level_, &QPushButton::clicked, this, &TIntrForm::BXIRQLevelClick);
    connect(pulse_, &QPushButton::clicked, this, &TIntrForm::BXIRQPulseClick);

    auto* group = new QGroupBox(QStringLiteral("XIRQ"));
    auto* count = new QHBoxLayout;
    count->addWidget(new QLabel(QStringLiteral("Handler=")));
    count->addWidget(handler_);
    count->addStretch();
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(count);
    groupLayout->addWidget(level_);
    groupLayout->addWidget(pulse_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    refresh();
}

void TIntrForm::refreshFields() {
    const XirqLine& xirq = machine_.peripherals.xirq;
    handler_->setText(QString::fromStdString(
        groupThousands(xirq.handlerCount(), machine_.host.thousandsSeparator())));
    showButton(level_, xirq.levelButton(), QStringLiteral("XIRQ Low &Level Now"));
    showButton(pulse_, xirq.pulseButton(), QStringLiteral("XIRQ Low &Pulse Now"));
}

void TIntrForm::BXIRQLevelClick() {
    machine_.peripherals.xirq.bxirqLevelClick();
    refresh();
}

void TIntrForm::BXIRQPulseClick() {
    machine_.peripherals.xirq.bxirqPulseClick();
    refresh();
}

// IntrShow: a vector set since the last reset enables the buttons. While the line is held low
// the buttons already show its mode; enabling both then would turn a pending pulse into a
// level that no interrupt releases.
void TIntrForm::showEvent(QShowEvent* event) {
    XirqLine& xirq = machine_.peripherals.xirq;
    if (!xirq.pending()) xirq.intrShow();
    PeripheralWindow::showEvent(event);
}

}  // namespace tarnwick
