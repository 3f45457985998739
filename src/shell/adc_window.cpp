#include "shell/adc_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QVBoxLayout>
#include <QValidator>
#include <charconv>
#include <cmath>

#include "base/number_text.h"
#include "peripherals/io_registers.h"
#include "shell/qt_text.h"

namespace tarnwick {

namespace {

// Digits and "." reach the VRef text; every other character is dropped, from pasted text too.
// The text is always acceptable so that Enter reaches the window, which judges the number.
class VRefKeyFilter : public QValidator {
  public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override {
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            const QChar c = input[i];
            if ((c >= u'0' && c <= u'9') || c == u'.') continue;
            input.remove(i, 1);
            if (i < position) --position;
        }
        return Acceptable;
    }
};

}  // namespace

std::optional<double> parseVRef(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (error != std::errc{} || stop != end || value < 0) return std::nullopt;
    return value;
}

std::string voltageText(double vref, std::uint8_t value, std::string_view thousandsSeparator,
                        std::string_view decimalSeparator) {
    const auto millivolts = static_cast<std::uint64_t>(std::llround(vref * value * 1000 / 256));
    const std::string fraction = std::to_string(millivolts % 1000);
    return groupThousands(millivolts / 1000, thousandsSeparator) + std::string(decimalSeparator) +
           std::string(3 - fraction.size(), '0') + fraction;
}

TSubADCForm::TSubADCForm(Machine& machine, QWidget* parent)
    : PeripheralWindow(machine, QStringLiteral("SubADCForm"),
                       QStringLiteral("Analog to Digital / PORTE"), parent),
      vrefField_(new QLineEdit(QStringLiteral("5.0"))),
      portE_(valueLabel(QStringLiteral("LPORTE"), Qt::AlignCenter)) {
    auto* channels = new QGridLayout;
    channels->addWidget(new QLabel(QStringLiteral("Hex:")), 2, 0);
    channels->addWidget(new QLabel(QStringLiteral("Dec:")), 3, 0);
    channels->addWidget(new QLabel(QStringLiteral("Volt:")), 4, 0);
    for (int channel = 0; channel < kChannels; ++channel) {
        const QString number = QString::number(channel + 1);
        const int column = channel + 1;
        channels->addWidget(new QLabel(QStringLiteral("AD%1").arg(channel)), 0, column,
                            Qt::AlignHCenter);
        QSlider* slider = sliders_[channel] = new QSlider(Qt::Vertical);
        slider->setObjectName(QStringLiteral("ADCTrack") + number);
        slider->setRange(0, 255);  // the top of a vertical slider is its maximum
        connect(slider, &QSlider::valueChanged, this, [this, channel] { ChangeTrack(channel); });
        channels->addWidget(slider, 1, column, Qt::AlignHCenter);
        hexTexts_[channel] = valueLabel(QStringLiteral("LHexTrack") + number, Qt::AlignCenter);
        decimalTexts_[channel] = valueLabel(QStringLiteral("LDecTrack") + number, Qt::AlignCenter);
        voltageTexts_[channel] = valueLabel(QStringLiteral("LVccTrack") + number, Qt::AlignCenter);
        channels->addWidget(hexTexts_[channel], 2, column);
        channels->addWidget(decimalTexts_[channel], 3, column);
        channels->addWidget(voltageTexts_[channel], 4, column);
        // Port E's check boxes run from Bit7 under AD0 to Bit0 under AD7.
        const int bit = 7 - channel;
        QCheckBox* box = portEBits_[bit] = new QCheckBox;
        box->setObjectName(QStringLiteral("Bit%1").arg(bit));
        connect(box, &QCheckBox::clicked, this, [this, bit] { BitClick(bit); });
        channels->addWidget(box, 5, column, Qt::AlignHCenter);
    }
    channels->addWidget(new QLabel(QStringLiteral("PORTE=")), 6, 0);
    channels->addWidget(portE_, 6, 1);

    vrefField_->setObjectName(QStringLiteral("ETrack1"));
    vrefField_->setMaxLength(kVRefMaxLength);
    vrefField_->setValidator(new VRefKeyFilter(vrefField_));
    connect(vrefField_, &QLineEdit::returnPressed, this, &TSubADCForm::KeyTrack1Enter);

    auto* results = new QHBoxLayout;
    results->addWidget(new QLabel(QStringLiteral("VRef:")));
    results->addWidget(vrefField_);
    for (int index = 0; index < 4; ++index) {
        const QString name = QStringLiteral("ADR%1").arg(index + 1);
        results_[index] = valueLabel(QStringLiteral("L") + name, Qt::AlignCenter);
        results->addWidget(new QLabel(name + QStringLiteral("=")));
        results->addWidget(results_[index]);
    }
    results->addWidget(new QLabel(bitCaption(bit::kCcf)));
    results->addWidget(bitLabel(QStringLiteral("L"), bit::kCcf));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(channels);
    layout->addLayout(results);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    refresh();
}

void TSubADCForm::refreshFields() {
    const AnalogDigital& adc = machine_.peripherals.adc;
    for (int channel = 0; channel < kChannels; ++channel) {
        sliders_[channel]->setValue(adc.channelInputs[channel]);
        sliders_[channel]->setEnabled(adc.powered);
        showChannel(channel);
    }
    const std::uint8_t portE = adc.portE();
    for (int bit = 0; bit < 8; ++bit) {
        portEBits_[bit]->setChecked(portE & (1u << bit));
        portEBits_[bit]->setEnabled(!adc.powered);
    }
    portE_->setText(qText(hexText(portE, 2)));
    for (int index = 0; index < 4; ++index)
        results_[index]->setText(qText(hexText(machine_.peek(kIoBase + reg::kAdr1 + index), 2)));
}

void TSubADCForm::ChangeTrack(int channel) {
    machine_.peripherals.adc.channelInputs[channel] =
        static_cast<std::uint8_t>(sliders_[channel]->value());
    showChannel(channel);
}

void TSubADCForm::showChannel(int channel) {
    const std::uint8_t value = machine_.peripherals.adc.channelInputs[channel];
    hexTexts_[channel]->setText(qText(hexText(value, 2)));
    decimalTexts_[channel]->setNum(value);
    voltageTexts_[channel]->setText(qText(voltageText(
        vref_, value, machine_.host.thousandsSeparator(), machine_.host.decimalSeparator())));
}

void TSubADCForm::KeyTrack1Enter() {
    if (vrefField_->text().isEmpty()) vrefField_->setText(QStringLiteral("0"));
    const std::string text = vrefField_->text().toStdString();
    const std::optional<double> vref = parseVRef(text);
    if (!vref) {
        machine_.host.showError("'" + text + "' is not a valid floating point value");
        return;
    }
    vref_ = *vref;
    for (int channel = 0; channel < kChannels; ++channel) showChannel(channel);
}

void TSubADCForm::BitClick(int bit) {
    AnalogDigital& adc = machine_.peripherals.adc;
    adc.setPortEBit(static_cast<std::uint8_t>(bit), portEBits_[bit]->isChecked());
    portE_->setText(qText(hexText(adc.portE(), 2)));
}

}  // namespace tarnwick
