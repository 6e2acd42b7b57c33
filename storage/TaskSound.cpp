#include "storage/TaskSound.h"

#include "storage/TaskFile.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

bool TaskSound::isDefault() const
{
    return *this == TaskSound{};
}

QString FormatTaskSound(const TaskSound& sound)
{
    return QStringLiteral("%1,%2,%3").arg(sound.volume).arg(sound.fadeIn).arg(sound.fadeOut);
}

TaskSound ReadTaskSound(const QString& value, QString* problem)
{
    if (problem)
        problem->clear();
    const QStringList fields = value.split(u',');
    std::optional<int> numbers[3];
    bool readable = fields.size() == 3;
    for (int i = 0; readable && i < 3; ++i) {
        numbers[i] = ReadWholeNumber(fields[i]);
        readable = numbers[i].has_value();
    }
    if (!readable) {
        if (problem)
            *problem = QCoreApplication::translate("TaskSound",
                                                   "“%1”应为“音量,淡入秒数,淡出秒数”三个整数，已按默认音量 100%、不淡入淡出播放")
                           .arg(value);
        return TaskSound{};
    }
    struct Field {
        const char* name; // translated where used
        int max;
        int TaskSound::*member;
        const char* unit;
    };
    static constexpr Field kFields[] = {
        {QT_TRANSLATE_NOOP("TaskSound", "音量"), MaxVolumePercent, &TaskSound::volume,
         QT_TRANSLATE_NOOP("TaskSound", "% ")},
        {QT_TRANSLATE_NOOP("TaskSound", "淡入"), MaxFadeSeconds, &TaskSound::fadeIn,
         QT_TRANSLATE_NOOP("TaskSound", " 秒")},
        {QT_TRANSLATE_NOOP("TaskSound", "淡出"), MaxFadeSeconds, &TaskSound::fadeOut,
         QT_TRANSLATE_NOOP("TaskSound", " 秒")}};
    TaskSound sound;
    QStringList clamped;
    for (int i = 0; i < 3; ++i) {
        const Field& f = kFields[i];
        const int n = *numbers[i];
        sound.*f.member = std::clamp(n, 0, f.max);
        if (sound.*f.member != n)
            clamped << QCoreApplication::translate("TaskSound", "%1 %2 不在 0～%3 之内，按 %4%5播放")
                           .arg(QCoreApplication::translate("TaskSound", f.name))
                           .arg(n)
                           .arg(f.max)
                           .arg(sound.*f.member)
                           .arg(QCoreApplication::translate("TaskSound", f.unit));
    }
    if (problem && !clamped.isEmpty())
        *problem = clamped.join(QCoreApplication::translate("TaskSound", "；"));
    return sound;
}
