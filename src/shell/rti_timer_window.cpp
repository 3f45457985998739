#include "shell/rti_timer_window.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/number_text.h"
#include "peripherals/io_registers.h"
#include "shell/qt_text.h"

namespace tarnwick {

namespace {

QLabel* valueLabel(const char* objectName) {
    auto* label = new QLabel;
    label->setObjectName(QLatin1String(objectName));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setBold(true);
    label->setFont(font);
    return label;
}

QString bitText(std::uint8_t byte, std::uint8_t mask) {
    return (byte & mask) ? QStringLiteral("1") : QStringLiteral("0");
}

// One "caption value [unit]" row of a group.
void addRow(QGridLayout* grid, const char* caption, QWidget* value, const char* unit = nullptr) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(QLatin1String(caption)), row, 0, Qt::AlignRight);
    grid->addWidget(value, row, 1);
    if (unit) grid->addWidget(new QLabel(QLatin1String(unit)), row, 2);
}

}  // namespace

TSubRTIForm::TSubRTIForm(Machine& machine, QWidget* parent)
    : SessionWindow(parent, Qt::Window),
      machine_(machine),
      rtiRemaining_(valueLabel("LRTIRemaining")),
      rtiTimeOuts_(valueLabel("LRTITimeOuts")),
      rtiRate_(valueLabel("LRTIRate")),
      rtii_(valueLabel("LRTII")),
      rtif_(valueLabel("LRTIF")),
      forceRti_(new QPushButton),
      tcnt_(valueLabel("LTCNT")),
      tcntDecimal_(valueLabel("LTCNTDec")),
      timerOverflow_(valueLabel("LTimerOverflow")),
      prescaler_(valueLabel("LPrescaler")),
      toi_(valueLabel("LTOI")),
      tof_(valueLabel("LTOF")),
      forceTimer_(new QPushButton) {
    setObjectName(QStringLiteral("SubRTIForm"));
    setWindowTitle(QStringLiteral("RTI & Timer"));

    auto* rtiGroup = new QGroupBox(QStringLiteral("Real-Time Interrupt"));
    auto* rtiGrid = new QGridLayout(rtiGroup);
    addRow(rtiGrid, "TimeOut Remaining=", rtiRemaining_, "Cycles");
    addRow(rtiGrid, "TimeOut Handler=", rtiTimeOuts_);
    addRow(rtiGrid, "RTI Rate=", rtiRate_);
    addRow(rtiGrid, "RTII=", rtii_);
    addRow(rtiGrid, "RTIF=", rtif_);
    forceRti_->setObjectName(QStringLiteral("ForceRTI"));
    rtiGrid->addWidget(forceRti_, rtiGrid->rowCount(), 0, 1, 3);
    connect(forceRti_, &QPushButton::clicked, this, &TSubRTIForm::ForceRTIClick);

    auto* timerGroup = new QGroupBox(QStringLiteral("Timer"));
    auto* timerGrid = new QGridLayout(timerGroup);
    addRow(timerGrid, "TCNT=", tcnt_);
    timerGrid->addWidget(tcntDecimal_, timerGrid->rowCount() - 1, 2);
    addRow(timerGrid, "Overflow Handler=", timerOverflow_);
    addRow(timerGrid, "Prescaler=", prescaler_);
    addRow(timerGrid, "TOI=", toi_);
    addRow(timerGrid, "TOF=", tof_);
    forceTimer_->setObjectName(QStringLiteral("ForceTimer"));
    timerGrid->addWidget(forceTimer_, timerGrid->rowCount(), 0, 1, 3);
    connect(forceTimer_, &QPushButton::clicked, this, &TSubRTIForm::ForceTimerClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rtiGroup);
    layout->addWidget(timerGroup);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    refresh();
}

void TSubRTIForm::refresh() {
    Peripherals& peripherals = machine_.peripherals;
    peripherals.settle();
    const std::string separator = machine_.host.thousandsSeparator();
    const std::uint8_t tmsk2 = machine_.peek(kIoBase + reg::kTmsk2);
    const std::uint8_t tflg2 = machine_.peek(kIoBase + reg::kTflg2);

    const RealTimeInterrupt& rti = peripherals.rti;
    rtiRemaining_->setNum(static_cast<int>(rti.remainingCycles()));
    rtiTimeOuts_->setText(qText(groupThousands(rti.timeoutCount(), separator)));
    rtiRate_->setText(QStringLiteral("E/2^%1").arg(13 + rti.rateSelect));
    rtii_->setText(bitText(tmsk2, 0x40));
    rtif_->setText(bitText(tflg2, 0x40));
    forceRti_->setText(rti.forceRtiPending() ? QStringLiteral("RTI Interrupt Pending...")
                                             : QStringLiteral("Force &RTI TimeOut Now"));

    const FreeRunningTimer& timer = peripherals.timer;
    tcnt_->setText(qText(hexText(timer.tcnt(), 4)));
    tcntDecimal_->setNum(timer.tcnt());
    timerOverflow_->setText(qText(groupThousands(timer.overflowCount(), separator)));
    prescaler_->setNum(static_cast<int>(FreeRunningTimer::prescaleFactor(timer.prescaleSelect)));
    toi_->setText(bitText(tmsk2, 0x80));
    tof_->setText(bitText(tflg2, 0x80));
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

void TSubRTIForm::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

}  // namespace tarnwick
