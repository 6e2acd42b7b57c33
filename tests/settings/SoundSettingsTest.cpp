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
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\nMusicVolume=90\n");
    FakeMessageBoxes boxes;
    HandlerGuard guard{boxes, [] { return QStringLiteral("T"); }};
    SettingsPage page;
    ProgramData data;
    data.loadSettings();
    SoundSettings sound(page, data, guard);
    sound.load();
    EXPECT_EQ(page.spnMusicVolume->value(), 90);

    const std::pair<QSpinBox*, const char*> fields[] = {
        {page.spnTaskVolume, "TaskVolume"}, {page.spnMusicVolume, "MusicVolume"}, {page.spnDuckLevel, "DuckLevel"}};
    for (const auto& [spin, key] : fields) {
        spin->setValue(40);
        EXPECT_EQ(ReadConfigString("base", key, ""), "40") << key;
    }
    SetIniSaveInterruptedForTesting(true);
    page.spnDuckLevel->setValue(70);
    SetIniSaveInterruptedForTesting(false);
    EXPECT_EQ(page.spnDuckLevel->value(), 40);
    EXPECT_EQ(data.settings().duckLevel, 40);
    EXPECT_EQ(boxes.shown.size(), 1);
}

} // namespace
