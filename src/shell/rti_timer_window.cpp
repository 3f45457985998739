#include "shell/rti_timer_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/number_text.h"
#include "shell/qt_text.h"

namespace tarnwick {

namespace {

// One "caption value [unit]" row of a group.
void addRow(QGridLayout* grid, const QString& caption, QWidget* value, const char* unit = nullptr) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(caption), row, 0, Qt::AlignRight);
    grid->addWidget(value, row, 1);
    if (unit) grid->addWidget(new QLabel(QLatin1String(unit)), row, 2);
}

}  // namespace

TSubRTIForm::TSubRTIForm(Machine& machine, QWidget* parent)
    : PeripheralWindow(machine, QStringLiteral("SubRTIForm"), QStringLiteral("RTI & Timer"),
                       parent),
      rtiRemaining_(valueLabel(QStringLiteral("LRTIRemaining"))),
      rtiTimeOuts_(valueLabel(QStringLiteral("LRTITimeOuts"))),
      rtiRate_(valueLabel(QStringLiteral("LRTIRate"))),
      forceRti_(new QPushButton),
      tcnt_(valueLabel(QStringLiteral("LTCNT"))),
      tcntDecimal_(valueLabel(QStringLiteral("LTCNTDec"))),
      timerOverflow_(valueLabel(QStringLiteral("LTimerOverflow"))),
      prescaler_(valueLabel(QStringLiteral("LPrescaler"))),
      forceTimer_(new QPushButton) {
    const QString valuePrefix = QStringLiteral("L");
    auto* rtiGroup = new QGroupBox(QStringLiteral("Real-Time Interrupt"));
    auto* rtiGrid = new QGridLayout(rtiGroup);
    addRow(rtiGrid, QStringLiteral("TimeOut Remaining="), rtiRemaining_, "Cycles");
    addRow(rtiGrid, QStringLiteral("TimeOut Handler="), rtiTimeOuts_);
    addRow(rtiGrid, QStringLiteral("RTI Rate="), rtiRate_);
    for (const RegisterBit& flag : {bit::kRtii, bit::kRtif})
        addRow(rtiGrid, bitCaption(flag), bitLabel(valuePrefix, flag));
    forceRti_->setObjectName(QStringLiteral("ForceRTI"));
    rtiGrid->addWidget(forceRti_, rtiGrid->rowCount(), 0, 1, 3);
    connect(forceRti_, &QPushButton::clicked, this, &TSubRTIForm::ForceRTIClick);

    auto* timerGroup = new QGroupBox(QStringLiteral("Timer"));
    auto* timerGrid = new QGridLayout(timerGroup);
    addRow(timerGrid, QStringLiteral("TCNT="), tcnt_);
    timerGrid->addWidget(tcntDecimal_, timerGrid->rowCount() - 1, 2);
    addRow(timerGrid, QStringLiteral("Overflow Handler="), timerOverflow_);
    addRow(timerGrid, QStringLiteral("Prescaler="), prescaler_);
    for (const RegisterBit& flag : {bit::kToi, bit::kTof})
        addRow(timerGrid, bitCaption(flag), bitLabel(valuePrefix, flag));
    forceTimer_->setObjectName(QStringLiteral("ForceTimer"));
    timerGrid->addWidget(forceTimer_, timerGrid->rowCount(), 0, 1, 3);
    connect(forceTimer_, &QPushButton::clicked, this, &TSubRTIForm::ForceTimerClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rtiGroup);
    layout->addWidget(timerGroup);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    refresh();
}

void TSubRTIForm::refreshFields() {
    const Peripherals& peripherals = machine_.peripherals;
    const std::string separator = machine_.host.thousandsSeparator();

    const RealTimeInterrupt& rti = peripherals.rti;
    rtiRemaining_->setNum(static_cast<int>(rti.remainingCycles()));
    rtiTimeOuts_->setText(qText(groupThousands(rti.timeoutCount(), separator)));
    rtiRate_->setText(QStringLiteral("E/2^%1").arg(13 + rti.rateSelect));
    forceRti_->setText(rti.forceRtiPending() ? QStringLiteral("RTI Interrupt Pending...")
                                             : QStringLiteral("Force &RTI TimeOut Now"));

    const FreeRunningTimer& timer = peripherals.timer;
    tcnt_->setText(qText(hexText(timer.tcnt(), 4)));
    tcntDecimal_->setNum(timer.tcnt());
    timerOverflow_->setText(qText(groupThousands(timer.overflowCount(), separator)));
    prescaler_->setNum(static_cast<int>(FreeRunningTimer::prescaleFactor(timer.prescaleSelect)));
    forceTimer_->setText(timer.forceTimerPending() ? QStringLiteral("Timer Interrupt Pending...")
                                                   : QStringLiteral("Force &Timer Overflow Now"));
}

void TSubRTIForm::ForceRTIClick() {
    machine_.peripherals.forceRtiClick();
    refresh();
}

void TSubRTIForm::ForceTimerClick() {
    machine_.peripherals.forceTimerClick();
    refresh();
}

}  // namespace tarnwick
