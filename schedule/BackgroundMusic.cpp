#include "schedule/BackgroundMusic.h"

#include "library/AudioFileFilter.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Guard.h"
#include "platform/MediaPlayer.h"
#include "schedule/TaskPlayback.h"
#include "storage/ProgramData.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace {
// Down within the 300 ms a listener takes for "at once": the output's buffer (a fifth of a
// second with PulseAudio) comes on top, so the ramp itself is short, though long enough not
// to click. Up over long enough that the music swells back rather than jumps.
constexpr int kDuckMs = 40;
constexpr int kRestoreMs = 500;
// A change of the settings while the music plays.
constexpr int kSettingMs = 100;
} // namespace

bool IsPlayableBackgroupMusic(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return false;
    // A bare trailing dot is no extension: "." alone would be found in any list.
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot == name.size() - 1)
        return false;
    return MusicExtensions.contains(name.mid(dot), Qt::CaseInsensitive);
}

BackgroundMusic::BackgroundMusic(QCheckBox* chkPlayBackgroupMusic, QLineEdit* edtBackgroupMusicFile,
                                 QPushButton* btnSelectBackgroupMusic,
                                 IMediaPlayer& mpBackgroupMusic, ProgramData& data,
                                 IDialogs& dialogs, const HandlerGuard& guard)
    : m_chkPlayBackgroupMusic(chkPlayBackgroupMusic),
      m_edtBackgroupMusicFile(edtBackgroupMusicFile),
      m_btnSelectBackgroupMusic(btnSelectBackgroupMusic),
      m_mpBackgroupMusic(mpBackgroupMusic),
      m_data(data),
      m_dialogs(dialogs)
{
    QObject::connect(&m_data, &ProgramData::changed, &m_receiver, [this] {
        m_edtBackgroupMusicFile->setText(m_data.settings().backgroupMusicFile);
        applyLevel(kSettingMs);
    });
    QObject::connect(m_chkPlayBackgroupMusic, &QCheckBox::toggled, &m_receiver,
                     guard.wrap([this] { chkPlayBackgroupMusicClick(); }));
    QObject::connect(m_btnSelectBackgroupMusic, &QPushButton::clicked, &m_receiver,
                     guard.wrap([this] { btnSelectBackgroupMusicClick(); }));
    m_mpBackgroupMusic.setNoticeHandler(guard.wrap([this] { mpBackgroupMusicNotify(); }));
}

BackgroundMusic::~BackgroundMusic()
{
    m_mpBackgroupMusic.setNoticeHandler({});
}

void BackgroundMusic::duck(bool down)
{
    m_ducked = down;
    applyLevel(down ? kDuckMs : kRestoreMs);
}

void BackgroundMusic::applyLevel(int rampMs)
{
    const Settings& s = m_data.settings();
    const double gain = s.broadcast.localDeviceSilent()
        ? 0.0
        : s.musicVolume / 100.0 * (m_ducked ? s.duckLevel / 100.0 : 1.0);
    if (gain == m_gain)
        return;
    m_gain = gain;
    m_mpBackgroupMusic.setLevel(gain, rampMs);
}

void BackgroundMusic::LoadBackgroupMusic()
{
    applyLevel(0);
    m_edtBackgroupMusicFile->setText(m_data.settings().backgroupMusicFile);
    m_chkPlayBackgroupMusic->setChecked(m_data.settings().isBackgroup);
}

void BackgroundMusic::chkPlayBackgroupMusicClick()
{
    const bool on = m_chkPlayBackgroupMusic->isChecked();
    SaveBoxSetting(m_data, m_chkPlayBackgroupMusic, WriteIsBackgroup,
                   [](const Settings& s) { return s.isBackgroup; });
    if (!on) {
        m_btnSelectBackgroupMusic->setEnabled(true);
        // Paused, not closed: checking the box again goes on from here.
        if (m_mpBackgroupMusic.Mode() == MediaMode::Playing)
            m_mpBackgroupMusic.Pause();
        return;
    }

    m_btnSelectBackgroupMusic->setEnabled(false);
    const QString file = m_data.settings().backgroupMusicFile;
    if (!IsPlayableBackgroupMusic(file))
        return;
    // A player left closed by a failed Open tries again, so a file put right plays on the
    // next check without choosing it anew.
    if (m_mpBackgroupMusic.fileName() != file || !m_mpBackgroupMusic.isOpen()) {
        m_mpBackgroupMusic.Close();
        m_mpBackgroupMusic.setFileName(file);
        m_mpBackgroupMusic.Open();
    }
    // Resumes a paused player where it stopped; one at its end starts from the beginning.
    m_mpBackgroupMusic.Play();
}

void BackgroundMusic::btnSelectBackgroupMusicClick()
{
    const QString file =
        m_dialogs.openFile(m_btnSelectBackgroupMusic, tr("选择背景音乐"), AudioFileFilter);
    if (file.isEmpty())
        return;
    m_data.changeSettings([&file] { WriteBackgroupMusicFile(file); });
}

void BackgroundMusic::mpBackgroupMusicNotify()
{
    if (m_mpBackgroupMusic.lastNotice() == MediaNotice::OpenFailed) {
        const QString message = tr("无法播放背景音乐 %1：%2")
                                    .arg(m_mpBackgroupMusic.fileName(), m_mpBackgroupMusic.lastFailure().text());
        if (!m_report)
            throw MediaError(message);
        m_report(message);
        return;
    }
    // Only the end of the file starts it again: an aborted or superseded Play ends elsewhere.
    // A box cleared between the end and its notice found nothing playing to pause, so the
    // music must not start again behind it.
    if (!m_data.settings().isBackgroup || !m_mpBackgroupMusic.isOpen())
        return;
    if (m_mpBackgroupMusic.Length() <= 0 ||
        m_mpBackgroupMusic.Position() != m_mpBackgroupMusic.Length())
        return;
    m_mpBackgroupMusic.Rewind();
    m_mpBackgroupMusic.Play();
}
