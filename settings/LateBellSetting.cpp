#include "settings/LateBellSetting.h"

#include "platform/Errors.h"
#include "platform/Guard.h"
#include "storage/ProgramData.h"

#include <QSignalBlocker>
#include <QSpinBox>

LateBellSetting::LateBellSetting(QSpinBox& box, ProgramData& data, const HandlerGuard& guard)
    : m_box(box), m_data(data)
{
    QObject::connect(&box, &QSpinBox::valueChanged, &box, guard.wrap([this] {
        const int seconds = m_box.value();
        try {
            m_data.changeSettings([&] { WriteLateBellGrace(seconds); });
        } catch (const FileError&) {
            load();
            throw;
        }
    }));
}

void LateBellSetting::load()
{
    const QSignalBlocker quiet(&m_box);
    m_box.setValue(m_data.settings().lateBellGrace);
}
