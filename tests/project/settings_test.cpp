#include "project/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <variant>

namespace tarnwick {
namespace {

// An in-memory settings store; values keep the type they were written with.
class FakeSettingsStore : public SettingsStore {
  public:
    using Value = std::variant<std::string, int, bool>;
    std::map<std::pair<std::string, std::string>, Value> values;

    bool programKeyExists() const override { return !values.empty(); }
    std::optional<std::string> readString(SettingKey key) const override {
        return read<std::string>(key);
    }
    std::optional<int> readInt(SettingKey key) const override { return read<int>(key); }
    std::optional<bool> readBool(SettingKey key) const override { return read<bool>(key); }
    void writeString(SettingKey key, std::string_view value) override {
        values[name(key)] = std::string(value);
    }
    void writeInt(SettingKey key, int value) override { values[name(key)] = value; }
    void writeBool(SettingKey key, bool value) override { values[name(key)] = value; }

  private:
    static std::pair<std::string, std::string> name(SettingKey key) {
        return {std::string(key.subkey), std::string(key.name)};
    }
    template <typename T>
    std::optional<T> read(SettingKey key) const {
        const auto found = values.find(name(key));
        if (found == values.end() || !std::holds_alternative<T>(found->second)) return std::nullopt;
        return std::get<T>(found->second);
    }
};

TEST(SettingsTest, FirstRunWritesAndReturnsTheDefaults) {
    FakeSettingsStore store;
    const Settings settings = loadSettings(store);
    EXPECT_EQ(settings.assemblerPath, "");
    EXPECT_EQ(settings.goToNextWarning, JumpTargets::WarningAndError);
    EXPECT_TRUE(settings.autosaveDesktop);
    EXPECT_EQ(settings.colorSetting, "Default");
    EXPECT_EQ(settings.lastProject, "");

    using Value = FakeSettingsStore::Value;
    EXPECT_EQ(store.values,
              (decltype(store.values){
                  {{"External EXE\\ASM11", "ASM11.EXE"}, Value(std::string())},
                  {{"Environment\\Preferences", "Go to Next Warning/Error"}, Value(0)},
                  {{"Environment\\Preferences", "Autosave Desktop"}, Value(true)},
                  {{"Environment\\Preferences", "Tool Bar Text Only"}, Value(false)},
                  {{"Environment\\Color", "ColorSetting"}, Value(std::string("Default"))},
                  {{"Project", "Name"}, Value(std::string())},
              }));
}

TEST(SettingsTest, LaterRunsReadTheStoreAndTakeMissingValuesAsEmptyZeroOrFalse) {
    FakeSettingsStore store;
    store.writeString(kAssemblerPathKey, "C:\\asm\\ASM11.EXE");
    store.writeInt(kGoToNextWarningKey, 1);
    store.writeString(kLastProjectKey, "C:\\work\\demo.pro");
    store.writeBool(kToolBarTextOnlyKey, true);
    const Settings settings = loadSettings(store);
    EXPECT_EQ(settings.assemblerPath, "C:\\asm\\ASM11.EXE");
    EXPECT_EQ(settings.goToNextWarning, JumpTargets::ErrorOnly);
    EXPECT_FALSE(settings.autosaveDesktop);
    EXPECT_EQ(settings.colorSetting, "");
    EXPECT_EQ(settings.lastProject, "C:\\work\\demo.pro");
    EXPECT_TRUE(settings.toolBarTextOnly);
    EXPECT_EQ(store.values.size(), 4u);  // nothing written on a later run
}

}  // namespace
}  // namespace tarnwick
