#include "settings/SoundSettings.h"

#include "platform/Guard.h"
#include "settings/SettingsPage.h"
#include "storage/IniStore.h"
#include "storage/IniStoreTesting.h"
#include "storage/ProgramData.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

TEST(SoundSettings, ShowsTheStoredVolumesSavesEachChangeAndGoesBackWhenRefused)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\nTaskVolume=90\nDuckLevel=200\n");
    FakeMessageBoxes boxes;
    HandlerGuard guard{boxes, [] { return QStringLiteral("T"); }};
    SettingsPage page;
    ProgramData data;
    data.loadSettings();
    SoundSettings sound(page, data, guard);
    sound.load();
    EXPECT_EQ(page.spnTaskVolume->value(), 90);
    EXPECT_EQ(page.spnMusicVolume->value(), 100);
    EXPECT_EQ(page.spnDuckLevel->value(), 100) << "clamped as read";
    EXPECT_EQ(ReadConfigString("base", "DuckLevel", ""), "200") << "loading writes nothing back";

    const std::pair<QSpinBox*, const char*> fields[] = {
        {page.spnTaskVolume, "TaskVolume"}, {page.spnMusicVolume, "MusicVolume"}, {page.spnDuckLevel, "DuckLevel"}};
    for (const auto& [spin, key] : fields) {
        SCOPED_TRACE(key);
        spin->setValue(40);
        EXPECT_EQ(ReadConfigString("base", key, ""), "40");

        boxes.shown.clear();
        SetIniSaveInterruptedForTesting(true);
        spin->setValue(70);
        SetIniSaveInterruptedForTesting(false);
        EXPECT_EQ(spin->value(), 40);
        EXPECT_EQ(ReadConfigString("base", key, ""), "40");
        EXPECT_EQ(boxes.shown.size(), 1);
    }
    EXPECT_EQ(data.settings().taskVolume, 40);
    EXPECT_EQ(data.settings().musicVolume, 40);
    EXPECT_EQ(data.settings().duckLevel, 40);
}

} // namespace
