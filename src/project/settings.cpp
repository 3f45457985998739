#include "project/settings.h"

namespace tarnwick {

Settings loadSettings(SettingsStore& store) {
    Settings settings;
    if (!store.programKeyExists()) {
        store.writeString(kAssemblerPathKey, settings.assemblerPath);
        store.writeInt(kGoToNextWarningKey, static_cast<int>(settings.goToNextWarning));
        store.writeBool(kAutosaveDesktopKey, settings.autosaveDesktop);
        store.writeBool(kToolBarTextOnlyKey, settings.toolBarTextOnly);
        store.writeString(kColorSettingKey, settings.colorSetting);
        store.writeString(kLastProjectKey, settings.lastProject);
        return settings;
    }
    settings.assemblerPath = store.readString(kAssemblerPathKey).value_or("");
    settings.goToNextWarning = store.readInt(kGoToNextWarningKey).value_or(0) == 1
                                   ? JumpTargets::ErrorOnly
                                   : JumpTargets::WarningAndError;
    settings.autosaveDesktop = store.readBool(kAutosaveDesktopKey).value_or(false);
    settings.toolBarTextOnly = store.readBool(kToolBarTextOnlyKey).value_or(false);
    settings.colorSetting = store.readString(kColorSettingKey).value_or("");
    settings.lastProject = store.readString(kLastProjectKey).value_or("");
    return settings;
}

}  // namespace tarnwick
