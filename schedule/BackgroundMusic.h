#pragma once
// The group "背景音乐": one file that repeats without end on a player of its own, beside the
// task player and never paused by it. Kept in [base] of Config.ini as BackgroupMusicFile and
// IsBackgroup.
#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <functional>

class HandlerGuard;
class IDialogs;
class IMediaPlayer;
class ProgramData;
class QCheckBox;
class QLineEdit;
class QPushButton;

// Whether the background music may try to play path: the file exists and its extension (from
// the last dot of the name, case ignored) is one of the library's sound kinds.
bool IsPlayableBackgroupMusic(const QString& path);

class BackgroundMusic {
    Q_DECLARE_TR_FUNCTIONS(BackgroundMusic)

public:
    // The box's handler runs on a change made by code as on a click, so the start-up load
    // starts the music by checking it. The file and whether it plays are data's settings; the
    // edit box shows the file.
    BackgroundMusic(QCheckBox* chkPlayBackgroupMusic, QLineEdit* edtBackgroupMusicFile,
                    QPushButton* btnSelectBackgroupMusic, IMediaPlayer& mpBackgroupMusic,
                    ProgramData& data, IDialogs& dialogs, const HandlerGuard& guard);
    ~BackgroundMusic();
    BackgroundMusic(const BackgroundMusic&) = delete;
    BackgroundMusic& operator=(const BackgroundMusic&) = delete;

    // The box checked as stored, which starts the music.
    void LoadBackgroupMusic();

    void chkPlayBackgroupMusicClick();
    void btnSelectBackgroupMusicClick();
    void mpBackgroupMusicNotify();

    // While a task sounds the music goes down to the settings' level beneath it, quickly;
    // after, it comes back, more slowly. Neither waits for anything.
    void duck(bool down);

    // Where a file that fails to open is reported; without one the failure is raised.
    void setFailureReport(std::function<void(const QString&)> report) { m_report = std::move(report); }

private:
    void applyLevel(int rampMs);

    std::function<void(const QString&)> m_report;
    bool m_ducked = false;
    double m_gain = -1; // last given to the player
    QCheckBox* m_chkPlayBackgroupMusic;
    QLineEdit* m_edtBackgroupMusicFile;
    QPushButton* m_btnSelectBackgroupMusic;
    IMediaPlayer& m_mpBackgroupMusic;
    ProgramData& m_data;
    IDialogs& m_dialogs;
    // Ends the connections with this object, whichever of it and the controls goes first.
    QObject m_receiver;
};
