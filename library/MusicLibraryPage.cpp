#include "library/MusicLibraryPage.h"

#include "library/AudioFileFilter.h"
#include "library/FileSearch.h"
#include "library/MusicLibrary.h"
#include "platform/AudioProbe.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/ReportView.h"
#include "storage/ProgramData.h"
#include "storage/ConfigFile.h"
#include "storage/IniStore.h"
#include "storage/TaskFile.h"
#include "storage/Timetable.h"

#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <limits>
#include <thread>
#include <vector>

namespace {

enum Column { ColumnKey, ColumnName, ColumnState, ColumnKind };
// On the state column: true when the entry's file or folder is not there.
constexpr int MissingRole = Qt::UserRole;

// Up to this many files are checked without a progress dialog unless it takes a while.
constexpr int QuietProbeFiles = 5;
constexpr int ProbeDialogDelayMs = 300;
// A box of thousands of lines would not fit the screen: the first tasks, then their count.
constexpr qsizetype ShownTasks = 20;

QString samePath(const QString& path)
{
    return QDir::cleanPath(path);
}

} // namespace

MusicLibraryPage::MusicLibraryPage(ProgramData& data, IDialogs& dialogs,
                                   IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* parent)
    : QWidget(parent), m_data(data), m_dialogs(dialogs), m_boxes(boxes),
      m_probe(std::make_shared<GstAudioProbe>())
{
    lvMusic = new QTreeWidget(this);
    MakeReportView(lvMusic, tr("音频库"), true);
    lvMusic->setUniformRowHeights(true);
    lvMusic->setHeaderLabels({tr("编号"), tr("文件名"), tr("状态"), tr("类型")});
    lvMusic->setColumnWidth(0, 60);
    lvMusic->setColumnWidth(1, 220);
    lvMusic->setColumnWidth(2, 200);
    lvMusic->setColumnWidth(3, 80);

    btnAddMusic = new QToolButton(this);
    btnAddMusic->setText(tr("增加"));
    btnAddMusic->setPopupMode(QToolButton::InstantPopup);
    btnAddMusic->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnAddMusic->setMinimumHeight(26);
    pmLibAdd = new QMenu(btnAddMusic);
    miAddFile = pmLibAdd->addAction(tr("添加文件"));
    miAddDirectory = pmLibAdd->addAction(tr("添加文件夹"));
    btnAddMusic->setMenu(pmLibAdd);
    btnDelMusic = new QPushButton(tr("删除"), this);
    btnClearMusic = new QPushButton(tr("清空所有"), this);
    btn1 = new QPushButton(tr("清空异常文件"), this);
    btnSetLibPassword = new QPushButton(tr("设置音频库密码"), this);
    btnSetLibPassword->hide();
    chkEnCodeLib = new QCheckBox(tr("加密音频库"), this);
    lblEnCodeLibHint =
        new QLabel(tr("注意：如要更改加密设置，请先清空所有已存在的音频文件。"), this);
    lblEnCodeLibHint->setStyleSheet(QStringLiteral("color: green;"));

    auto* commands = new QHBoxLayout;
    commands->addWidget(btnAddMusic);
    commands->addWidget(btnDelMusic);
    commands->addWidget(btnClearMusic);
    commands->addWidget(btn1);
    commands->addSpacing(20);
    commands->addWidget(chkEnCodeLib);
    commands->addWidget(lblEnCodeLibHint);
    commands->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(lvMusic, 1);
    layout->addLayout(commands);

    connect(miAddFile, &QAction::triggered, this, guard.wrap([this] { miAddFileClick(); }));
    connect(miAddDirectory, &QAction::triggered, this,
            guard.wrap([this] { miAddDirectoryClick(); }));
    connect(btnDelMusic, &QPushButton::clicked, this, guard.wrap([this] { btnDelMusicClick(); }));
    connect(btnClearMusic, &QPushButton::clicked, this,
            guard.wrap([this] { btnClearMusicClick(); }));
    connect(btn1, &QPushButton::clicked, this, guard.wrap([this] { btn1Click(); }));
    // Runs on a change made by the start-up load as on a click.
    connect(chkEnCodeLib, &QCheckBox::toggled, this, guard.wrap([this] { chkEnCodeLibClick(); }));
}

void MusicLibraryPage::setAudioProbe(std::shared_ptr<IAudioProbe> probe)
{
    m_probe = std::move(probe);
}

void MusicLibraryPage::LoadMusicLibrary()
{
    lvMusic->clear();
    const QList<LibraryEntry> entries =
        ReadLibraryEntries(TaskFilePath(), m_data.settings().enCodeLib);
    m_data.setLibraryList(LibraryListOf(entries));
    QList<QTreeWidgetItem*> rows;
    rows.reserve(entries.size());
    for (const LibraryEntry& e : entries) {
        auto* row = new QTreeWidgetItem({e.key, e.name, e.state, e.kind});
        row->setData(ColumnState, MissingRole, e.missing());
        for (int c = 0; c < row->columnCount(); ++c)
            row->setToolTip(c, e.path);
        lvMusicCustomDrawItem(row);
        rows.append(row);
    }
    // One insertion for all rows: a large library would otherwise relayout per row.
    lvMusic->addTopLevelItems(rows);
}

void MusicLibraryPage::lvMusicCustomDrawItem(QTreeWidgetItem* item)
{
    if (!item->data(ColumnState, MissingRole).toBool())
        return;
    for (int c = 0; c < item->columnCount(); ++c)
        item->setForeground(c, QColor(255, 0, 0));
}

void MusicLibraryPage::addEntries(const QStringList& paths)
{
    const QString taskFile = TaskFilePath();
    const qint64 first = NextEntryNumber(taskFile);
    if (first - 1 > std::numeric_limits<int>::max() - paths.size()) {
        // Nothing is written: a number past the range would wrap to one in use.
        m_boxes.MainErrorBox(
            this, tr("无法添加：%1 的 [Music] 或 [Time] 中已用到编号 %2，再添加 %3 "
                     "个音频将超出编号上限 %4。请先删除或改小过大的编号。")
                      .arg(TaskFileName)
                      .arg(first - 1)
                      .arg(paths.size())
                      .arg(std::numeric_limits<int>::max()));
        return;
    }
    int number = static_cast<int>(first);
    const bool enciphered = m_data.settings().enCodeLib;
    // A write that fails raises here: the rest is not written, and the page shows the file.
    changeLibrary([&] {
        for (const QString& path : paths)
            WriteLibraryEntry(taskFile, number++, path, enciphered);
    });
    LoadMusicLibrary();
}

void MusicLibraryPage::addChecked(const QStringList& paths, bool folders)
{
    QHash<QString, QString> present; // path -> number
    for (const LibraryEntry& e : ReadLibraryEntries(TaskFilePath(), m_data.settings().enCodeLib))
        present.insert(samePath(e.path), e.key);
    QStringList fresh, skipped, refused;
    for (const QString& path : paths) {
        const auto it = present.constFind(samePath(path));
        if (it != present.cend())
            skipped << tr("%1（编号 %2）").arg(path, *it);
        else if (folders && !QFileInfo(path).isDir())
            refused << tr("%1：文件夹不存在").arg(path);
        else if (!fresh.contains(path)) // the same path twice in one choice is one entry
            fresh << path;
    }
    QStringList accepted = fresh;
    if (!folders) {
        accepted.clear();
        const QStringList problems = probeFiles(fresh);
        for (qsizetype i = 0; i < problems.size(); ++i) {
            if (problems[i].isEmpty())
                accepted << fresh[i];
            else
                refused << tr("%1：%2").arg(fresh[i], problems[i]);
        }
    }
    if (!accepted.isEmpty())
        addEntries(accepted);
    QStringList parts;
    if (!skipped.isEmpty())
        parts << tr("以下音频已在音频库中，没有再次添加：\n%1").arg(skipped.join(u'\n'));
    if (!refused.isEmpty())
        parts << tr("以下音频无法添加：\n%1").arg(refused.join(u'\n'));
    if (!parts.isEmpty())
        m_boxes.WarningBox(this, parts.join(QStringLiteral("\n\n")));
}

QStringList MusicLibraryPage::probeFiles(const QStringList& files)
{
    if (files.isEmpty())
        return {};
    // Written by the worker before it counts the file done; read here only up to that count.
    struct Run {
        std::vector<QString> problems;
        std::atomic<int> done{0};
        std::atomic<bool> stop{false};
        std::atomic<bool> finished{false};
    };
    auto run = std::make_shared<Run>();
    run->problems.resize(std::size_t(files.size()));
    std::thread worker([run, probe = m_probe, files] {
        for (int i = 0; i < files.size() && !run->stop; ++i) {
            try {
                run->problems[std::size_t(i)] = probe->problem(files[i]);
            } catch (...) {
                run->problems[std::size_t(i)] = tr("无法检查此文件");
            }
            run->done = i + 1;
        }
        run->finished = true;
    });

    QProgressDialog progress(tr("正在检查音频文件…"), tr("取消"), 0,
                             int(files.size()), this);
    progress.setWindowTitle(tr("添加音频"));
    progress.setAccessibleName(tr("正在检查音频文件"));
    progress.setWindowModality(Qt::WindowModal);
    // Many files show it at once; a few only when they take a while.
    progress.setMinimumDuration(files.size() > QuietProbeFiles ? 0 : ProbeDialogDelayMs);
    progress.setValue(0);
    int kept = -1; // files checked when the user cancelled
    auto cancel = [&] {
        if (kept < 0) {
            kept = run->done;
            run->stop = true;
        }
    };
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, cancel);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (progress.wasCanceled())
            cancel();
        if (run->finished) {
            loop.quit();
            return;
        }
        if (kept < 0)
            progress.setValue(run->done);
    });
    poll.start();
    // The worker ends after the file it is on, so waiting for it here is short.
    if (!run->finished)
        loop.exec();
    // The loop also ends when the program does; the worker then stops after its file.
    run->stop = true;
    worker.join();
    const int checked = kept < 0 ? run->done.load() : kept;
    progress.reset();
    QStringList problems;
    for (int i = 0; i < checked; ++i)
        problems << run->problems[std::size_t(i)];
    return problems;
}

void MusicLibraryPage::changeLibrary(const std::function<void()>& change)
{
    try {
        change();
    } catch (const FileError&) {
        // Part of the change may be in the file: the page shows what the file holds.
        LoadMusicLibrary();
        UpdateEnCodeLibEnabled();
        throw;
    }
}

void MusicLibraryPage::miAddFileClick()
{
    const QStringList files = m_dialogs.openFiles(this, tr("添加文件"), AudioFileFilter);
    if (!files.isEmpty())
        addChecked(files, false);
    UpdateEnCodeLibEnabled();
}

void MusicLibraryPage::miAddDirectoryClick()
{
    QString folder;
    if (ChooseFolder(m_dialogs, this, tr("请选择一个目录"), folder)) {
        if (!folder.endsWith(QDir::separator()))
            folder += QDir::separator();
        addChecked({folder}, true);
    }
    UpdateEnCodeLibEnabled();
}

bool MusicLibraryPage::releaseFromTasks(const QStringList& keys, const QString& question,
                                        QStringList& silenced)
{
    const QList<MusicUse> uses = TasksUsing(m_data.timetable(), keys);
    if (uses.isEmpty())
        return question.isEmpty() || m_boxes.ConfirmBox(this, question);
    QHash<QString, QString> names;
    for (int i = 0; i < lvMusic->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = lvMusic->topLevelItem(i);
        names.insert(FoldedTaskKey(row->text(ColumnKey)), row->text(ColumnName));
    }
    QStringList lines;
    for (const MusicUse& use : uses.first(std::min<qsizetype>(uses.size(), ShownTasks)))
        lines << tr("任务 %1 使用 %2（编号 %3）")
                     .arg(use.taskKey, names.value(FoldedTaskKey(use.musicKey)), use.musicKey);
    if (uses.size() > ShownTasks)
        lines << tr("……共 %1 处").arg(uses.size());
    QString text = question.isEmpty() ? QString() : question + QStringLiteral("\n\n");
    text += tr("以下定时任务使用了要删除的音频：\n%1\n\n"
               "删除后这些任务不再播放它们，没有其他音频的任务将被停用。确定要删除吗？")
                .arg(lines.join(u'\n'));
    if (!m_boxes.ConfirmBox(this, text))
        return false;
    // The tasks first: should the file refuse, no task is left holding a number that is gone.
    silenced = m_data.removeMusicFromTasks(keys);
    return true;
}

void MusicLibraryPage::reportSilenced(const QStringList& silenced)
{
    if (silenced.isEmpty())
        return;
    QStringList lines = silenced.first(std::min<qsizetype>(silenced.size(), ShownTasks));
    if (silenced.size() > ShownTasks)
        lines << tr("……共 %1 个任务").arg(silenced.size());
    m_boxes.WarningBox(this, tr("以下定时任务已没有音频，已被停用：\n%1").arg(lines.join(u'\n')));
}

void MusicLibraryPage::btnDelMusicClick()
{
    QTreeWidgetItem* row = lvMusic->currentItem();
    if (!row) {
        m_boxes.MainErrorBox(this, tr("请选择要删除的音频文件！"));
        return;
    }
    const QString key = row->text(ColumnKey);
    QStringList silenced;
    if (!releaseFromTasks({key}, QString(), silenced))
        return;
    DeleteIniKeyChecked(TaskFilePath(), MusicSection, key);
    delete row;
    UpdateEnCodeLibEnabled();
    reportSilenced(silenced);
}

void MusicLibraryPage::btnClearMusicClick()
{
    QStringList keys, silenced;
    for (int i = 0; i < lvMusic->topLevelItemCount(); ++i)
        keys << lvMusic->topLevelItem(i)->text(ColumnKey);
    if (!releaseFromTasks(keys, tr("确定要清空音频库中的所有音频文件吗？"), silenced))
        return;
    EraseIniSectionChecked(TaskFilePath(), MusicSection);
    lvMusic->clear();
    UpdateEnCodeLibEnabled();
    reportSilenced(silenced);
}

void MusicLibraryPage::btn1Click()
{
    const QString taskFile = TaskFilePath();
    QStringList keys, silenced;
    for (int i = 0; i < lvMusic->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = lvMusic->topLevelItem(i);
        if (row->data(ColumnState, MissingRole).toBool())
            keys << row->text(ColumnKey);
    }
    if (!releaseFromTasks(keys, QString(), silenced))
        return;
    changeLibrary([&] {
        for (const QString& key : keys)
            DeleteIniKeyChecked(taskFile, MusicSection, key);
    });
    LoadMusicLibrary();
    UpdateEnCodeLibEnabled();
    reportSilenced(silenced);
}

void MusicLibraryPage::chkEnCodeLibClick()
{
    SaveBoxSetting(m_data, chkEnCodeLib, WriteEnCodeLib, [](const Settings& s) { return s.enCodeLib; });
}

void MusicLibraryPage::UpdateEnCodeLibEnabled()
{
    chkEnCodeLib->setEnabled(lvMusic->topLevelItemCount() == 0);
}
