#include "app/AboutPage.h"

#include "platform/AppDirectory.h"
#include "platform/Errors.h"
#include "storage/IniStore.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

AboutPage::AboutPage(const QString& productTitle, QWidget* parent) : QWidget(parent)
{
    const LanguageChoice language = ReadLanguageChoice(ConfigFilePath());
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setAccessibleName(tr("关于"));
    m_text->setPlainText(productTitle + tr(
        "\n"
        "\n"
        "软件概括：\n"
        "    本软件按时间表自动播放音乐和铃声，适用于学校、幼儿园和公司等单位的定时打铃与定时广播。本软件完全免费，使用不受任何限制。\n"
        "\n"
        "软件功能简介：\n"
        "    1. 定时播放：可设置多个时间段，每个时间段可播放多首音乐，并可设置循环次数；\n"
        "    2. 节假日不播放；可按每日、每周、每月、指定日期或临时一次播放；\n"
        "    3. 定时关机；\n"
        "    4. 顺序播放和随机播放；\n"
        "    5. 目录播放：播放一个目录中的全部音频文件；\n"
        "    6. 音频库管理；\n"
        "    7. 背景音乐。\n"
        "\n"
        "软件使用步骤：\n"
        "    1. 在“音频库”页设置音频库；\n"
        "    2. 在“定时时间列表”页设置任务列表；\n"
        "    3. 在“基本设置”页设置节假日；\n"
        "    4. 全部设置完成后，重新启动一次本软件。\n"
        "\n"
        "数据文件：\n"
        "    设置、任务列表和音频库、用户分别保存在 Config.ini、TimeMusicList.ini 和 user.dat 中，位于：\n"
        "    %1\n"
        "    备份时复制这三个文件即可；恢复时先从托盘菜单“退出”本软件，再把它们复制回该文件夹。\n"
        "\n"
        "联系方式：请与贵单位的系统管理员联系。\n"
        "问题反馈：请写明所用版本和出现问题的任务设置。\n"
        "\n"
        "如果本软件对您有帮助，欢迎捐助，支持我们继续改进。").arg(ApplicationDirectory()));

    cbxLanguage = new QComboBox(this);
    cbxLanguage->setObjectName(QStringLiteral("cbxLanguage"));
    cbxLanguage->setAccessibleName(tr("界面语言"));
    // Each language under its own name, so that a reader of either finds it.
    cbxLanguage->addItem(tr("跟随系统"), int(LanguageChoice::Desktop));
    cbxLanguage->addItem(QStringLiteral("中文"), int(LanguageChoice::Chinese));
    cbxLanguage->addItem(QStringLiteral("English"), int(LanguageChoice::English));
    cbxLanguage->setCurrentIndex(cbxLanguage->findData(int(language)));
    m_saved = language;
    lblLanguageNote = new QLabel(tr("重新启动本软件后生效"), this);
    lblLanguageNote->setObjectName(QStringLiteral("lblLanguageNote"));
    connect(cbxLanguage, &QComboBox::activated, this, &AboutPage::chooseLanguage);

    auto* row = new QHBoxLayout;
    auto* caption = new QLabel(tr("界面语言："), this);
    caption->setBuddy(cbxLanguage);
    row->addWidget(caption);
    row->addWidget(cbxLanguage);
    row->addWidget(lblLanguageNote, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    layout->addLayout(row);
}

void AboutPage::chooseLanguage()
{
    const auto choice = LanguageChoice(cbxLanguage->currentData().toInt());
    if (choice == m_saved)
        return;
    try {
        WriteLanguageChoice(choice);
        m_saved = choice;
        lblLanguageNote->setStyleSheet(QString());
        lblLanguageNote->setText(tr("已保存，重新启动本软件后生效"));
    } catch (const AppError& e) {
        // Nothing was written: the box shows what the file still holds.
        cbxLanguage->setCurrentIndex(cbxLanguage->findData(int(m_saved)));
        lblLanguageNote->setStyleSheet(QStringLiteral("color: red"));
        lblLanguageNote->setText(e.message());
    }
}
