#pragma once
// What keeps a bell from being lost: "时钟跳过的铃声补播" (how long after its time a bell skipped
// by a clock jump or a sleep still rings) and "有铃声时阻止计算机休眠".
class HandlerGuard;
class ProgramData;
class SettingsPage;

class BellReliability {
public:
    // Each change is saved through data; a change Config.ini refuses is reported and the
    // controls show what the file holds.
    BellReliability(SettingsPage& page, ProgramData& data, const HandlerGuard& guard);
    // The controls from the settings.
    void load();

private:
    SettingsPage& m_page;
    ProgramData& m_data;
};
