#pragma once
// The "音量" group of the settings page: 铃声音量, 背景音乐音量 and the level the background
// music goes down to while a task plays.
class HandlerGuard;
class ProgramData;
class SettingsPage;

class SoundSettings {
public:
    // Each change is saved through data; a change Config.ini refuses is reported and the
    // controls show what the file holds.
    SoundSettings(SettingsPage& page, ProgramData& data, const HandlerGuard& guard);
    // The controls from the settings.
    void load();

private:
    SettingsPage& m_page;
    ProgramData& m_data;
};
