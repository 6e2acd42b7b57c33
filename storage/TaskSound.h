#pragma once
// How loud a task plays and how it fades: kept beside the task in [TaskSound] of the task
// file, one "volume,fadeIn,fadeOut" line per task that does not play at the default, keyed as
// its TimeParams line. A task without a line plays at full volume without fades, so a file that
// never sets a sound has no such section, and an older reader ignores the section.
#include <QString>

inline const QString TaskSoundSection = QStringLiteral("TaskSound");

// Percent of the file's own loudness; above 100 raises a quiet recording.
constexpr int MaxVolumePercent = 150;
constexpr int MaxFadeSeconds = 60;

struct TaskSound {
    int volume = 100;  // percent, 0 to MaxVolumePercent
    int fadeIn = 0;    // whole seconds, 0 to MaxFadeSeconds
    int fadeOut = 0;   // the same; applies when the end time or the playing-time limit stops the task

    bool operator==(const TaskSound&) const = default;
    // A default sound has no line in the file.
    bool isDefault() const;
};

// "80,2,5".
QString FormatTaskSound(const TaskSound& sound);
// A stored value: three whole numbers, each clamped into its range. A value that is not three
// whole numbers gives the default sound. *problem (when given) is set to the reason, for the user,
// whenever the value is not taken as it stands, and cleared otherwise.
TaskSound ReadTaskSound(const QString& value, QString* problem = nullptr);
