#include "settings/SoundSettings.h"

#include "platform/Errors.h"
#include "platform/Guard.h"
#include "settings/SettingsPage.h"
#include "storage/ProgramData.h"

#include <QSignalBlocker>
#include <QSpinBox>

SoundSettings::SoundSettings(SettingsPage& page, ProgramData& data, const HandlerGuard& guard)
    : m_page(page), m_data(data)
{
    auto save = [this, &page, &guard](QSpinBox* spin, void (*write)(int)) {
        QObject::connect(spin, &QSpinBox::valueChanged, &page, guard.wrap([this, spin, write] {
            const int percent = spin->value();
            try {
                m_data.changeSettings([&] { write(percent); });
            } catch (const FileError&) {
                load();
                throw;
            }
        }));
    };
    save(page.spnTaskVolume, WriteTaskVolume);
    save(page.spnMusicVolume, WriteMusicVolume);
    save(page.spnDuckLevel, WriteDuckLevel);
}

void SoundSettings::load()
{
    const Settings& s = m_data.settings();
    const std::pair<QSpinBox*, int> values[] = {
        {m_page.spnTaskVolume, s.taskVolume}, {m_page.spnMusicVolume, s.musicVolume}, {m_page.spnDuckLevel, s.duckLevel}};
    for (const auto& [spin, value] : values) {
        const QSignalBlocker quiet(spin);
        spin->setValue(value);
    }
}
