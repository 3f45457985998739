#include "shell/ascii_chart_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <array>

namespace tarnwick {

namespace {

constexpr std::array<const char*, 0x20> kControlNames{
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

}  // namespace

QString asciiCellText(std::uint8_t code) {
    if (code < 0x20) return QLatin1String(kControlNames[code]);
    if (code == 0x20) return QStringLiteral("SP");
    if (code == 0x7F) return QStringLiteral("DEL");
    return QString(QChar(code));
}

QString asciiCellToolTip(std::uint8_t code) {
    const QString hex = QString::number(code, 16).rightJustified(2, u'0').toUpper();
    return QStringLiteral("H'%1', D'%2'").arg(hex).arg(code);
}

TASCIIForm::TASCIIForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ASCIIForm"));
    setWindowTitle(QStringLiteral("ASCII Chart"));
    const QFont fixedPitch = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("MSB->")), 0, 0);
    for (int high = 0; high < 8; ++high)
        grid->addWidget(new QLabel(QString::number(high)), 0, high + 1, Qt::AlignHCenter);
    for (int low = 0; low < 16; ++low)
        grid->addWidget(new QLabel(QString::number(low, 16).toUpper()), low + 1, 0,
                        Qt::AlignHCenter);
    for (int code = 0; code < 0x80; ++code) {
        auto* cell = new QLabel(asciiCellText(static_cast<std::uint8_t>(code)));
        cell->setObjectName(QStringLiteral("ASCII") +
                            QString::number(code, 16).rightJustified(2, u'0').toUpper());
        cell->setToolTip(asciiCellToolTip(static_cast<std::uint8_t>(code)));
        cell->setFont(fixedPitch);
        cell->setTextFormat(Qt::PlainText);
        cell->setFrameShape(QFrame::Box);
        cell->setAlignment(Qt::AlignCenter);
        grid->addWidget(cell, (code & 0x0F) + 1, (code >> 4) + 1);
    }
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void TASCIIForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

}  // namespace tarnwick
