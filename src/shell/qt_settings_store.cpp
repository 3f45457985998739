#include "shell/qt_settings_store.h"

#include "shell/qt_text.h"

namespace tarnwick {

namespace {

constexpr auto kOrganisation = "Morvane";
constexpr auto kApplication = "Tarnwick v1.00";

// Both separators of a key path are "/" in QSettings. A "/" inside a value name
// ("Go to Next Warning/Error") therefore nests one group deeper, which reads back the same.
QString settingsPath(SettingKey key) {
    return qText(key.subkey).replace(QLatin1Char('\\'), QLatin1Char('/')) + QLatin1Char('/') +
           qText(key.name);
}

// An INI file keeps every value as text; values written in this run are still held with
// their own type. Both read through their text, so a value reads alike before and after a
// restart. A list (a comma in a hand-edited file) is not a single value.
std::optional<QString> valueText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString:
        case QMetaType::Int:
        case QMetaType::Bool:
            return value.toString();
        default:
            return std::nullopt;
    }
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::UserScope, QLatin1String(kOrganisation), QLatin1String(kApplication)) {}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : settings_(iniFile, QSettings::IniFormat) {}

bool QtSettingsStore::programKeyExists() const {
    return !settings_.allKeys().isEmpty();
}

QVariant QtSettingsStore::read(SettingKey key) const {
    return settings_.value(settingsPath(key));
}

std::optional<std::string> QtSettingsStore::readString(SettingKey key) const {
    const auto text = valueText(read(key));
    if (!text) return std::nullopt;
    return text->toStdString();
}

std::optional<int> QtSettingsStore::readInt(SettingKey key) const {
    const auto text = valueText(read(key));
    if (!text) return std::nullopt;
    bool ok = false;
    const int value = text->toInt(&ok);
    if (!ok) return std::nullopt;
    return value;
}

std::optional<bool> QtSettingsStore::readBool(SettingKey key) const {
    const auto text = valueText(read(key));
    if (!text) return std::nullopt;
    if (text->compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (text->compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    return std::nullopt;
}

void QtSettingsStore::writeString(SettingKey key, std::string_view value) {
    write(key, qText(value));
}

void QtSettingsStore::writeInt(SettingKey key, int value) {
    write(key, value);
}

void QtSettingsStore::writeBool(SettingKey key, bool value) {
    write(key, value);
}

// Each setting is stored the moment it changes, so nothing waits for the program's end.
void QtSettingsStore::write(SettingKey key, const QVariant& value) {
    settings_.setValue(settingsPath(key), value);
    settings_.sync();
}

}  // namespace tarnwick
