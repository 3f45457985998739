#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// Every subkey lies below this key of the machine-wide settings store.
inline constexpr std::string_view kSettingsRoot = "Software\\Morvane\\Tarnwick v1.00\\";

// Where one setting lives: a subkey below kSettingsRoot and a value name.
struct SettingKey {
    std::string_view subkey;
    std::string_view name;
};

inline constexpr SettingKey kAssemblerPathKey{"External EXE\\ASM11", "ASM11.EXE"};
inline constexpr SettingKey kGoToNextWarningKey{"Environment\\Preferences",
                                                "Go to Next Warning/Error"};
inline constexpr SettingKey kAutosaveDesktopKey{"Environment\\Preferences", "Autosave Desktop"};
inline constexpr SettingKey kToolBarTextOnlyKey{"Environment\\Preferences", "Tool Bar Text Only"};
inline constexpr SettingKey kColorSettingKey{"Environment\\Color", "ColorSetting"};
inline constexpr SettingKey kLastProjectKey{"Project", "Name"};

// The platform's settings store (a fake in tests). Reads give nullopt for a missing value
// or one of another type; writes that fail are not reported.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    virtual bool programKeyExists() const = 0;
    virtual std::optional<std::string> readString(SettingKey key) const = 0;
    virtual std::optional<int> readInt(SettingKey key) const = 0;
    virtual std::optional<bool> readBool(SettingKey key) const = 0;
    virtual void writeString(SettingKey key, std::string_view value) = 0;
    virtual void writeInt(SettingKey key, int value) = 0;
    virtual void writeBool(SettingKey key, bool value) = 0;
};

enum class JumpTargets { WarningAndError = 0, ErrorOnly = 1 };

// The program-wide preferences, read once at start and written when each one changes.
// Members start at the first-run defaults.
struct Settings {
    std::string assemblerPath;
    JumpTargets goToNextWarning = JumpTargets::WarningAndError;
    bool autosaveDesktop = true;
    bool toolBarTextOnly = false;  // captions instead of glyphs on the tool buttons
    std::string colorSetting = "Default";
    std::string lastProject;
};

// With the program key present, reads the six values (missing ones as empty text, 0 or
// false); on the first run writes the defaults and returns them.
Settings loadSettings(SettingsStore& store);

}  // namespace tarnwick
