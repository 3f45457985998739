#include "shell/qt_host.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "shell/qt_text.h"

namespace tarnwick {

bool showMessageBox(QWidget* parent, MessageBoxKind kind, const QString& text) {
    const QString title = QLatin1String(kProgramName);
    switch (kind) {
        case MessageBoxKind::YesNoWarning:
            return QMessageBox::warning(parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
                   QMessageBox::Yes;
        case MessageBoxKind::Warning:
            QMessageBox::warning(parent, title, text);
            break;
        case MessageBoxKind::Error:
            QMessageBox::critical(parent, title, text);
            break;
        case MessageBoxKind::Information:
            QMessageBox::information(parent, title, text);
            break;
    }
    return true;
}

QtHost::QtHost(QWidget* dialogParent, QLocale locale) : locale_(std::move(locale)) {
    sinceStart_.start();
    clock_ = [this] { return sinceStart_.elapsed(); };
    // A QPointer, so a box asked for after the parent window has gone opens without one.
    messageBox_ = [parent = QPointer<QWidget>(dialogParent)](MessageBoxKind kind,
                                                             const QString& text) {
        return showMessageBox(parent.data(), kind, text);
    };
}

bool QtHost::ask(MessageBoxKind kind, std::string_view text) {
    return messageBox_(kind, qText(text));
}

bool QtHost::warnYesNo(std::string_view text) {
    return ask(MessageBoxKind::YesNoWarning, text);
}

void QtHost::showWarning(std::string_view text) {
    ask(MessageBoxKind::Warning, text);
}

void QtHost::showError(std::string_view text) {
    ask(MessageBoxKind::Error, text);
}

void QtHost::showInformation(std::string_view text) {
    ask(MessageBoxKind::Information, text);
}

void QtHost::processEvents() {
    const qint64 now = clock_();
    if (lastPump_ && now - *lastPump_ < kEventPumpIntervalMs) return;
    lastPump_ = now;
    QCoreApplication::processEvents();
}

void QtHost::setRefreshTimerActive(bool active) {
    if (refreshTimerSwitch_) refreshTimerSwitch_(active);
}

std::uint32_t QtHost::timeSeed() {
    return static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch());
}

std::string QtHost::thousandsSeparator() {
    return locale_.groupSeparator().toStdString();
}

std::string QtHost::decimalSeparator() {
    return locale_.decimalPoint().toStdString();
}

}  // namespace tarnwick
