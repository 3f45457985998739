#include "shell/qt_settings_store.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace tarnwick {
namespace {

class QtSettingsStoreTest : public ::testing::Test {
  protected:
    QString iniFile() const { return directory.filePath(QStringLiteral("tarnwick.ini")); }

    QTemporaryDir directory;
};

TEST_F(QtSettingsStoreTest, FirstRunWritesTheDefaultsThatTheNextStartReadsBack) {
    {
        QtSettingsStore store(iniFile());
        EXPECT_FALSE(store.programKeyExists());
        loadSettings(store);
        EXPECT_TRUE(store.programKeyExists());
    }
    QtSettingsStore restarted(iniFile());
    ASSERT_TRUE(restarted.programKeyExists());
    const Settings settings = loadSettings(restarted);
    EXPECT_EQ(settings.assemblerPath, "");
    EXPECT_EQ(settings.goToNextWarning, JumpTargets::WarningAndError);
    EXPECT_TRUE(settings.autosaveDesktop);
    EXPECT_EQ(settings.colorSetting, "Default");
    EXPECT_EQ(settings.lastProject, "");
}

// Values are stored at once and read alike by the same store and after a restart.
TEST_F(QtSettingsStoreTest, ValuesRoundTripWithinARunAndAcrossARestart) {
    const std::string path = "/home/jörg/asm, tools\\ASM11.EXE";
    QtSettingsStore store(iniFile());
    store.writeString(kAssemblerPathKey, path);
    store.writeInt(kGoToNextWarningKey, 1);
    store.writeBool(kAutosaveDesktopKey, false);
    store.writeString(kLastProjectKey, "");

    QtSettingsStore restarted(iniFile());
    for (const QtSettingsStore* reader : {&store, &restarted}) {
        EXPECT_EQ(reader->readString(kAssemblerPathKey), path);
        EXPECT_EQ(reader->readInt(kGoToNextWarningKey), 1);
        EXPECT_EQ(reader->readBool(kAutosaveDesktopKey), false);
        EXPECT_EQ(reader->readString(kLastProjectKey), "");
        EXPECT_EQ(reader->readString(kColorSettingKey), std::nullopt);
    }
}

TEST_F(QtSettingsStoreTest, SubkeysBecomeGroupsAndValueNamesKeys) {
    {
        QtSettingsStore store(iniFile());
        store.writeString(kAssemblerPathKey, "/opt/asm11");
        store.writeString(kColorSettingKey, "Twilight");
    }
    QSettings raw(iniFile(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("External EXE/ASM11/ASM11.EXE")).toString(),
              QStringLiteral("/opt/asm11"));
    EXPECT_EQ(raw.value(QStringLiteral("Environment/Color/ColorSetting")).toString(),
              QStringLiteral("Twilight"));
}

// A hand-edited file may hold anything; a value that is not of the asked type reads as
// missing, and the defaults of the settings take its place.
TEST_F(QtSettingsStoreTest, ValuesOfTheWrongTypeReadAsMissing) {
    {
        QSettings edited(iniFile(), QSettings::IniFormat);
        edited.setValue(QStringLiteral("Environment/Preferences/Go to Next Warning/Error"),
                        QStringLiteral("often"));
        edited.setValue(QStringLiteral("Environment/Preferences/Autosave Desktop"), 1);
        edited.setValue(QStringLiteral("Environment/Color/ColorSetting"),
                        QStringList{QStringLiteral("Classic"), QStringLiteral("Twilight")});
        edited.setValue(QStringLiteral("Project/Name"), QStringLiteral("12"));
    }
    QtSettingsStore store(iniFile());
    EXPECT_TRUE(store.programKeyExists());
    EXPECT_EQ(store.readInt(kGoToNextWarningKey), std::nullopt);
    EXPECT_EQ(store.readBool(kAutosaveDesktopKey), std::nullopt);
    EXPECT_EQ(store.readString(kColorSettingKey), std::nullopt);
    EXPECT_EQ(store.readString(kLastProjectKey), "12");
    EXPECT_EQ(store.readBool(kLastProjectKey), std::nullopt);

    const Settings settings = loadSettings(store);
    EXPECT_EQ(settings.goToNextWarning, JumpTargets::WarningAndError);
    EXPECT_FALSE(settings.autosaveDesktop);
    EXPECT_EQ(settings.colorSetting, "");
}

}  // namespace
}  // namespace tarnwick
