#include "shell/sci_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "base/number_text.h"

namespace tarnwick {

QString sciCharacterText(std::uint8_t byte) {
    if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) return QStringLiteral(".");
    return QString(QChar(byte));
}

TSubSCIForm::TSubSCIForm(Machine& machine, QWidget* parent)
    : PeripheralWindow(machine, QStringLiteral("SubSCIForm"), QStringLiteral("SCI"), parent),
      transmitterEnable_(valueLabel(QStringLiteral("TxTE"), Qt::AlignCenter)),
      handler_(valueLabel(QStringLiteral("SCIHandler"), Qt::AlignCenter)),
      receiveRow_(new QWidget) {
    auto* history = new QGridLayout;
    history->addWidget(new QLabel(QStringLiteral("TX:")), 0, 0);
    for (int slot = 0; slot < SciTransmitter::kHistorySize; ++slot) {
        const QString name = QStringLiteral("TXBuf%1").arg(slot);
        bytes_[slot] = valueLabel(name, Qt::AlignCenter);
        characters_[slot] = valueLabel(name + QStringLiteral("Char"), Qt::AlignCenter);
        history->addWidget(bytes_[slot], 0, slot + 1);
        history->addWidget(characters_[slot], 1, slot + 1);
    }

    const QString prefix = QStringLiteral("Tx");
    const std::pair<QString, QLabel*> fields[] = {
        {QStringLiteral("TE="), transmitterEnable_},
        {bitCaption(bit::kTie), bitLabel(prefix, bit::kTie)},
        {bitCaption(bit::kTdre), bitLabel(prefix, bit::kTdre)},
        {bitCaption(bit::kTcie), bitLabel(prefix, bit::kTcie)},
        {bitCaption(bit::kTc), bitLabel(prefix, bit::kTc)},
        {QStringLiteral("Handler="), handler_}};
    auto* flags = new QHBoxLayout;
    for (const auto& [caption, value] : fields) {
        flags->addWidget(new QLabel(caption));
        flags->addWidget(value);
        flags->addSpacing(12);
    }
    flags->addStretch();

    auto* receive = new QHBoxLayout(receiveRow_);
    receive->setContentsMargins(0, 0, 0, 0);
    receive->addWidget(new QLabel(QStringLiteral("RX:")));
    receive->addSpacing(12);
    for (const RegisterBit& flag : {bit::kRe, bit::kRie, bit::kRdrf, bit::kOr, bit::kIdle}) {
        receive->addWidget(new QLabel(bitCaption(flag)));
        receive->addWidget(bitLabel(QStringLiteral("Rx"), flag));
        receive->addSpacing(12);
    }
    receive->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(history);
    layout->addLayout(flags);
    layout->addWidget(receiveRow_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    refresh();
}

void TSubSCIForm::refreshFields() {
    const SciTransmitter& sci = machine_.peripherals.sci;
    for (std::uint8_t slot = 0; slot < SciTransmitter::kHistorySize; ++slot) {
        const std::uint8_t byte = sci.historyInWindowOrder(slot);
        bytes_[slot]->setText(QString::fromStdString(hexText(byte, 2)));
        characters_[slot]->setText(sciCharacterText(byte));
    }
    // TE as the transmitter latched it, which is what drives it.
    transmitterEnable_->setText(sci.transmitterEnabled ? QStringLiteral("1") : QStringLiteral("0"));
    handler_->setText(QString::fromStdString(
        groupThousands(sci.interruptCount(), machine_.host.thousandsSeparator())));
    receiveRow_->setVisible(machine_.peripherals.sciReceiver.inputAttached());
}

}  // namespace tarnwick
