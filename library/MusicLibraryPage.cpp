#include "library/MusicLibraryPage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

MusicLibraryPage::MusicLibraryPage(QWidget* parent) : QWidget(parent)
{
    lvMusic = new QTreeWidget(this);
    lvMusic->setAccessibleName(QStringLiteral("音频库"));
    lvMusic->setRootIsDecorated(false);
    lvMusic->setSelectionMode(QAbstractItemView::SingleSelection);
    lvMusic->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvMusic->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvMusic->setAllColumnsShowFocus(true);
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
}
