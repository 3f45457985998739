#include "shell/peripheral_window.h"

#include <QFontDatabase>
#include <QLabel>

#include "peripherals/io_registers.h"
#include "shell/qt_text.h"

namespace tarnwick {

PeripheralWindow::PeripheralWindow(Machine& machine, const QString& objectName,
                                   const QString& title, QWidget* parent)
    : SessionWindow(parent, Qt::Window), machine_(machine) {
    setObjectName(objectName);
    setWindowTitle(title);
}

QLabel* PeripheralWindow::valueLabel(const QString& objectName, Qt::Alignment alignment) {
    auto* label = new QLabel;
    label->setObjectName(objectName);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString PeripheralWindow::bitCaption(const RegisterBit& bit) {
    return qText(bit.name) + QLatin1Char('=');
}

QLabel* PeripheralWindow::bitLabel(const QString& prefix, const RegisterBit& bit) {
    QLabel* label = valueLabel(prefix + qText(bit.name));
    bits_.emplace_back(label, bit);
    return label;
}

void PeripheralWindow::refresh() {
    // The peripherals may be behind the cycles ticked until their next event.
    machine_.peripherals.settle();
    refreshFields();
    for (const auto& [label, bit] : bits_)
        label->setText(bit.isSetIn(machine_.peek(kIoBase + bit.index)) ? QStringLiteral("1")
                                                                       : QStringLiteral("0"));
}

void PeripheralWindow::showEvent(QShowEvent* event) {
    refresh();
    SessionWindow::showEvent(event);
}

}  // namespace tarnwick
