#include "shell/sci_window.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "base/number_text.h"
#include "peripherals/io_registers.h"

namespace tarnwick {

namespace {

QLabel* valueLabel(const QString& objectName) {
    auto* label = new QLabel;
    label->setObjectName(objectName);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText);  // a transmitted "<" is no markup
    return label;
}

QString bitText(std::uint8_t byte, std::uint8_t mask) {
    return (byte & mask) ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

QString sciCharacterText(std::uint8_t byte) {
    if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) return QStringLiteral(".");
    return QString(QChar(byte));
}

TSubSCIForm::TSubSCIForm(Machine& machine, QWidget* parent)
    : SessionWindow(parent, Qt::Window),
      machine_(machine),
      transmitterEnable_(valueLabel(QStringLiteral("TxTE"))),
      tie_(valueLabel(QStringLiteral("TxTIE"))),
      tdre_(valueLabel(QStringLiteral("TxTDRE"))),
      tcie_(valueLabel(QStringLiteral("TxTCIE"))),
      tc_(valueLabel(QStringLiteral("TxTC"))),
      handler_(valueLabel(QStringLiteral("SCIHandler"))) {
    setObjectName(QStringLiteral("SubSCIForm"));
    setWindowTitle(QStringLiteral("SCI"));

    auto* history = new QGridLayout;
    history->addWidget(new QLabel(QStringLiteral("TX:")), 0, 0);
    for (int slot = 0; slot < SciTransmitter::kHistorySize; ++slot) {
        const QString name = QStringLiteral("TXBuf%1").arg(slot);
        bytes_[slot] = valueLabel(name);
        characters_[slot] = valueLabel(name + QStringLiteral("Char"));
        history->addWidget(bytes_[slot], 0, slot + 1);
        history->addWidget(characters_[slot], 1, slot + 1);
    }

    auto* flags = new QHBoxLayout;
    const std::pair<const char*, QLabel*> fields[] = {{"TE=", transmitterEnable_},
                                                      {"TIE=", tie_},
                                                      {"TDRE=", tdre_},
                                                      {"TCIE=", tcie_},
                                                      {"TC=", tc_},
                                                      {"Handler=", handler_}};
    for (const auto& [caption, value] : fields) {
        flags->addWidget(new QLabel(QLatin1String(caption)));
        flags->addWidget(value);
        flags->addSpacing(12);
    }
    flags->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(history);
    layout->addLayout(flags);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    refresh();
}

void TSubSCIForm::refresh() {
    const SciTransmitter& sci = machine_.peripherals.sci;
    for (std::uint8_t slot = 0; slot < SciTransmitter::kHistorySize; ++slot) {
        const std::uint8_t byte = sci.historyInWindowOrder(slot);
        bytes_[slot]->setText(QString::fromStdString(hexText(byte, 2)));
        characters_[slot]->setText(sciCharacterText(byte));
    }
    const std::uint8_t sccr2 = machine_.peek(kIoBase + reg::kSccr2);
    const std::uint8_t scsr = machine_.peek(kIoBase + reg::kScsr);
    transmitterEnable_->setText(sci.transmitterEnabled ? QStringLiteral("1") : QStringLiteral("0"));
    tie_->setText(bitText(sccr2, 0x80));
    tdre_->setText(bitText(scsr, SciTransmitter::kTdre));
    tcie_->setText(bitText(sccr2, 0x40));
    tc_->setText(bitText(scsr, SciTransmitter::kTc));
    handler_->setText(QString::fromStdString(
        groupThousands(sci.interruptCount(), machine_.host.thousandsSeparator())));
}

void TSubSCIForm::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

}  // namespace tarnwick
