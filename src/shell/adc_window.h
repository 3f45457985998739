#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "shell/peripheral_window.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace tarnwick {

// The VRef field holds at most this many characters.
inline constexpr int kVRefMaxLength = 5;

// The VRef text as a number: digits with at most one decimal point.
std::optional<double> parseVRef(std::string_view text);

// An analog input as a voltage, VRef × value ÷ 256, rounded to three decimals and grouped in
// thousands ("4.980" for 255 at 5.0).
std::string voltageText(double vref, std::uint8_t value, std::string_view thousandsSeparator,
                        std::string_view decimalSeparator);

// "Analog to Digital / PORTE": the eight analog inputs the converter reads, set with sliders,
// the digital levels of Port E as check boxes, and the four result registers with CCF.
class TSubADCForm : public PeripheralWindow {
    Q_OBJECT

  public:
    static constexpr int kChannels = 8;

    explicit TSubADCForm(Machine& machine, QWidget* parent = nullptr);

  public slots:
    // A slider moved: the channel's input and its three texts.
    void ChangeTrack(int channel);
    // Enter in VRef: recomputes the eight voltages, or reports a text that is not a number
    // and keeps them as they were.
    void KeyTrack1Enter();
    // A Port E check box clicked: sets or clears that bit of PORTE.
    void BitClick(int bit);

  protected:
    // The inputs, Port E and the results; the A/D power flag decides whether the sliders or
    // the Port E check boxes take input.
    void refreshFields() override;

  private:
    void showChannel(int channel);

    double vref_ = 5.0;  // the last VRef the voltages were computed with
    QLineEdit* vrefField_;
    std::array<QSlider*, kChannels> sliders_{};
    std::array<QLabel*, kChannels> hexTexts_{};
    std::array<QLabel*, kChannels> decimalTexts_{};
    std::array<QLabel*, kChannels> voltageTexts_{};
    std::array<QCheckBox*, 8> portEBits_{};  // indexed by bit number
    QLabel* portE_;
    std::array<QLabel*, 4> results_{};
};

}  // namespace tarnwick
