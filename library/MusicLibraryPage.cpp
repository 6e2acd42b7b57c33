#include "library/MusicLibraryPage.h"

#include "library/AudioFileFilter.h"
#include "library/FileSearch.h"
#include "library/MusicLibrary.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/ReportView.h"
#include "storage/ProgramData.h"
#include "storage/ConfigFile.h"
#include "storage/IniStore.h"
#include "storage/TaskFile.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <limits>

namespace {

enum Column { ColumnKey, ColumnName, ColumnState, ColumnKind };

} // namespace

MusicLibraryPage::MusicLibraryPage(ProgramData& data, IDialogs& dialogs,
                                   IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* parent)
    : QWidget(parent), m_data(data), m_dialogs(dialogs), m_boxes(boxes)
{
    lvMusic = new QTreeWidget(this);
    MakeReportView(lvMusic, QStringLiteral("音频库"), true);
    lvMusic->setUniformRowHeights(true);
    lvMusic->setHeaderLabels({QStringLiteral("编号"), QStringLiteral("文件名"), QStringLiteral("状态"),
                              QStringLiteral("类型")});
    lvMusic->setColumnWidth(0, 60);
    lvMusic->setColumnWidth(1, 220);
    lvMusic->setColumnWidth(2, 200);
    lvMusic->setColumnWidth(3, 80);

    btnAddMusic = new QToolButton(this);
    btnAddMusic->setText(QStringLiteral("增加"));
    btnAddMusic->setPopupMode(QToolButton::InstantPopup);
    btnAddMusic->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnAddMusic->setMinimumHeight(26);
    pmLibAdd = new QMenu(btnAddMusic);
    miAddFile = pmLibAdd->addAction(QStringLiteral("添加文件"));
    miAddDirectory = pmLibAdd->addAction(QStringLiteral("添加文件夹"));
    btnAddMusic->setMenu(pmLibAdd);
    btnDelMusic = new QPushButton(QStringLiteral("删除"), this);
    btnClearMusic = new QPushButton(QStringLiteral("清空所有"), this);
    btn1 = new QPushButton(QStringLiteral("清空异常文件"), this);
    btnSetLibPassword = new QPushButton(QStringLiteral("设置音频库密码"), this);
    btnSetLibPassword->hide();
    chkEnCodeLib = new QCheckBox(QStringLiteral("加密音频库"), this);
    lblEnCodeLibHint =
        new QLabel(QStringLiteral("注意：如要更改加密设置，请先清空所有已存在的音频文件。"), this);
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
        lvMusicCustomDrawItem(row);
        rows.append(row);
    }
    // One insertion for all rows: a large library would otherwise relayout per row.
    lvMusic->addTopLevelItems(rows);
}

void MusicLibraryPage::lvMusicCustomDrawItem(QTreeWidgetItem* item)
{
    if (item->text(ColumnState) == LibraryStateOk)
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
            this, QStringLiteral("无法添加：%1 的 [Music] 或 [Time] 中已用到编号 %2，再添加 %3 "
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
    const QStringList files = m_dialogs.openFiles(this, QStringLiteral("添加文件"), AudioFileFilter);
    if (!files.isEmpty())
        addEntries(files);
    UpdateEnCodeLibEnabled();
}

void MusicLibraryPage::miAddDirectoryClick()
{
    QString folder;
    if (ChooseFolder(m_dialogs, this, QStringLiteral("请选择一个目录"), folder)) {
        if (!folder.endsWith(QDir::separator()))
            folder += QDir::separator();
        addEntries({folder});
    }
    UpdateEnCodeLibEnabled();
}

void MusicLibraryPage::btnDelMusicClick()
{
    QTreeWidgetItem* row = lvMusic->currentItem();
    if (!row) {
        m_boxes.MainErrorBox(this, QStringLiteral("请选择要删除的音频文件！"));
        return;
    }
    DeleteIniKeyChecked(TaskFilePath(), MusicSection, row->text(ColumnKey));
    delete row;
    UpdateEnCodeLibEnabled();
}

void MusicLibraryPage::btnClearMusicClick()
{
    if (!m_boxes.ConfirmBox(this, QStringLiteral("确定要清空音频库中的所有音频文件吗？")))
        return;
    EraseIniSectionChecked(TaskFilePath(), MusicSection);
    lvMusic->clear();
    UpdateEnCodeLibEnabled();
}

void MusicLibraryPage::btn1Click()
{
    const QString taskFile = TaskFilePath();
    changeLibrary([&] {
        for (int i = 0; i < lvMusic->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = lvMusic->topLevelItem(i);
            if (row->text(ColumnState) != LibraryStateOk)
                DeleteIniKeyChecked(taskFile, MusicSection, row->text(ColumnKey));
        }
    });
    LoadMusicLibrary();
    UpdateEnCodeLibEnabled();
}

void MusicLibraryPage::chkEnCodeLibClick()
{
    SaveBoxSetting(m_data, chkEnCodeLib, WriteEnCodeLib, [](const Settings& s) { return s.enCodeLib; });
}

void MusicLibraryPage::UpdateEnCodeLibEnabled()
{
    chkEnCodeLib->setEnabled(lvMusic->topLevelItemCount() == 0);
}
