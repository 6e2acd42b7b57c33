#include "tasks/uMusicList.h"

#include "platform/ReportView.h"
#include "storage/MusicName.h"
#include "storage/TaskFile.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

enum Column { ColumnKey, ColumnName, ColumnPath };

} // namespace

TfrmSelMusic::TfrmSelMusic(const QStringList& libraryList, QWidget* owner)
    : QDialog(owner), m_libraryList(libraryList)
{
    setWindowTitle(tr("请选择音频文件"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    // Same font as the owner's window, which sets its own for the Chinese text.
    setAttribute(Qt::WA_WindowPropagation);
    setFixedSize(520, 360);

    lvMusic = new QTreeWidget(this);
    MakeReportView(lvMusic, tr("音频库"), true);
    lvMusic->setUniformRowHeights(true);
    lvMusic->setHeaderLabels(
        {tr("编号"), tr("文件名"), tr("完整路径")});
    lvMusic->setColumnWidth(ColumnKey, 60);
    lvMusic->setColumnWidth(ColumnName, 160);
    lvMusic->setColumnWidth(ColumnPath, 200);

    auto* grpKind = new QGroupBox(this);
    grpKind->setAccessibleName(tr("类型"));
    rbFile = new QRadioButton(tr("音频文件"), grpKind);
    rbDirectory = new QRadioButton(tr("目录"), grpKind);
    auto* kinds = new QHBoxLayout(grpKind);
    kinds->setContentsMargins(8, 4, 8, 4);
    kinds->addWidget(rbFile);
    kinds->addWidget(rbDirectory);

    btn1 = new QPushButton(tr("&确定"), this);
    btn2 = new QPushButton(tr("取消"), this);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(grpKind);
    bottom->addStretch();
    bottom->addWidget(btn1);
    bottom->addWidget(btn2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(lvMusic, 1);
    layout->addLayout(bottom);

    // toggled, not clicked: the caller selects the kind by code before showing the dialog.
    connect(rbFile, &QRadioButton::toggled, this, [this](bool on) {
        if (!on)
            return;
        SelectedKind = 1;
        LoadAudioFiles();
    });
    connect(rbDirectory, &QRadioButton::toggled, this, [this](bool on) {
        if (!on)
            return;
        SelectedKind = 2;
        LoadDirectories();
    });
    connect(btn1, &QPushButton::clicked, this, [this] { btn1Click(); });
    connect(btn2, &QPushButton::clicked, this, [this] { reject(); });
}

void TfrmSelMusic::LoadAudioFiles()
{
    fill(false);
}

void TfrmSelMusic::LoadDirectories()
{
    fill(true);
}

void TfrmSelMusic::fill(bool directories)
{
    lvMusic->clear();
    Accepted = false;
    QList<QTreeWidgetItem*> rows;
    for (const QString& line : m_libraryList) {
        const QString path = LineValue(line);
        if (path.endsWith(QDir::separator()) != directories)
            continue;
        auto* row = new QTreeWidgetItem({LineName(line), MusicDisplayName(path), path});
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(ColumnKey, Qt::Unchecked);
        rows.append(row);
    }
    lvMusic->addTopLevelItems(rows);
}

void TfrmSelMusic::btn1Click()
{
    for (int i = 0; i < lvMusic->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = lvMusic->topLevelItem(i);
        if (row->checkState(ColumnKey) != Qt::Checked)
            continue;
        const QString key = row->text(ColumnKey);
        const QString name = row->text(ColumnName);
        const qsizetype at = IndexOfName(SelectedMusic, key);
        // A key holds one line; an entry without a name (the root directory) gives none.
        if (name.isEmpty()) {
            if (at >= 0)
                SelectedMusic.removeAt(at);
        } else if (at >= 0) {
            SelectedMusic[at] = key + QLatin1Char('=') + name;
        } else {
            SelectedMusic.append(key + QLatin1Char('=') + name);
        }
    }
    Accepted = true;
    accept();
}

void TfrmSelMusic::reject()
{
    Accepted = false;
    QDialog::reject();
}
