#include "tasks/RingNowDialog.h"

#include "platform/ReportView.h"
#include "storage/MusicName.h"
#include "storage/TaskFile.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RingNowDialog::RingNowDialog(const QStringList& libraryList, const QString& preferredKey,
                             QWidget* owner)
    : QDialog(owner)
{
    setWindowTitle(tr("立即响铃"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    // Same font as the owner's window, which sets its own for the Chinese text.
    setAttribute(Qt::WA_WindowPropagation);
    setFixedSize(520, 360);

    lvMusic = new QTreeWidget(this);
    MakeReportView(lvMusic, tr("音频库"), true);
    lvMusic->setUniformRowHeights(true);
    lvMusic->setHeaderLabels(
        {tr("编号"), tr("文件名"), tr("类型")});
    lvMusic->setColumnWidth(0, 60);
    lvMusic->setColumnWidth(1, 320);
    // Named from the path alone: a stalled network share must not hold the dialog up.
    QList<QTreeWidgetItem*> rows;
    QTreeWidgetItem* preferred = nullptr;
    for (const QString& line : libraryList) {
        const QString path = LineValue(line);
        const bool folder = path.endsWith(QDir::separator());
        auto* row = new QTreeWidgetItem({LineName(line), MusicDisplayName(path),
                                         folder ? tr("目录") : tr("音频文件")});
        for (int c = 0; c < row->columnCount(); ++c)
            row->setToolTip(c, path);
        if (!preferred && !preferredKey.isEmpty() && row->text(0) == preferredKey)
            preferred = row;
        rows.append(row);
    }
    lvMusic->addTopLevelItems(rows);
    if (!preferred && !rows.isEmpty())
        preferred = rows.front();
    if (preferred) {
        lvMusic->setCurrentItem(preferred);
        lvMusic->scrollToItem(preferred);
    }

    btnRing = new QPushButton(tr("响铃"), this);
    btnRing->setDefault(true);
    btnRing->setEnabled(preferred != nullptr);
    btnCancel = new QPushButton(tr("取消"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnRing);
    bottom->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(lvMusic, 1);
    layout->addLayout(bottom);

    connect(btnRing, &QPushButton::clicked, this, [this] {
        if (!selectedKey().isEmpty())
            accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lvMusic, &QTreeWidget::itemActivated, this, [this] { accept(); });
    connect(lvMusic, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { btnRing->setEnabled(current != nullptr); });
}

QString RingNowDialog::selectedKey() const
{
    const QTreeWidgetItem* row = lvMusic->currentItem();
    return row ? row->text(0) : QString();
}
