#include "settings/BellReliability.h"

#include "platform/Errors.h"
#include "platform/Guard.h"
#include "settings/SettingsPage.h"
#include "storage/ProgramData.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QSpinBox>

BellReliability::BellReliability(SettingsPage& page, ProgramData& data, const HandlerGuard& guard)
    : m_page(page), m_data(data)
{
    QObject::connect(page.spnLateBellGrace, &QSpinBox::valueChanged, &page, guard.wrap([this] {
        const int seconds = m_page.spnLateBellGrace->value();
        try {
            m_data.changeSettings([&] { WriteLateBellGrace(seconds); });
        } catch (const FileError&) {
            load();
            throw;
        }
    }));
    QObject::connect(page.chkStayAwake, &QCheckBox::toggled, &page, guard.wrap([this] {
        SaveBoxSetting(m_data, m_page.chkStayAwake, WriteStayAwake, [](const Settings& s) { return s.stayAwake; });
    }));
}

void BellReliability::load()
{
    const QSignalBlocker quietSpin(m_page.spnLateBellGrace);
    const QSignalBlocker quietBox(m_page.chkStayAwake);
    m_page.spnLateBellGrace->setValue(m_data.settings().lateBellGrace);
    m_page.chkStayAwake->setChecked(m_data.settings().stayAwake);
}
