#pragma once
// "补播时限": how long after its time a bell skipped by a clock jump or a sleep still rings.
class HandlerGuard;
class ProgramData;
class QSpinBox;

class LateBellSetting {
public:
    // Each change of box is saved through data; a change Config.ini refuses is reported and
    // the box shows what the file holds.
    LateBellSetting(QSpinBox& box, ProgramData& data, const HandlerGuard& guard);
    // The box from the settings.
    void load();

private:
    QSpinBox& m_box;
    ProgramData& m_data;
};
