#pragma once

#include <QSettings>
#include <QString>

#include "project/settings.h"

namespace tarnwick {

// The program's preferences in Qt's settings store. Each subkey becomes a group path (its
// "\" turned into "/") and each value name a key in it, so the names stay those of the
// program's settings keys.
class QtSettingsStore : public SettingsStore {
  public:
    // The store of organisation "Morvane", application "Tarnwick v1.00", in the user's part
    // of the platform's store: a machine-wide store is not writable for a normal user, and
    // writes that fail are not reported, so every preference would be lost silently.
    QtSettingsStore();
    // A store kept in one INI file.
    explicit QtSettingsStore(const QString& iniFile);

    bool programKeyExists() const override;
    std::optional<std::string> readString(SettingKey key) const override;
    std::optional<int> readInt(SettingKey key) const override;
    std::optional<bool> readBool(SettingKey key) const override;
    void writeString(SettingKey key, std::string_view value) override;
    void writeInt(SettingKey key, int value) override;
    void writeBool(SettingKey key, bool value) override;

  private:
    QVariant read(SettingKey key) const;
    void write(SettingKey key, const QVariant& value);

    mutable QSettings settings_;
};

}  // namespace tarnwick
