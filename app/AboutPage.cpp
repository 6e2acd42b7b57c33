#include "app/AboutPage.h"

#include "platform/AppDirectory.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

AboutPage::AboutPage(const QString& productTitle, QWidget* parent) : QWidget(parent)
{
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setAccessibleName(QStringLiteral("关于"));
    m_text->setPlainText(productTitle + QStringLiteral(R"(

软件概括：
    本软件按时间表自动播放音乐和铃声，适用于学校、幼儿园和公司等单位的定时打铃与定时广播。本软件完全免费，使用不受任何限制。

软件功能简介：
    1. 定时播放：可设置多个时间段，每个时间段可播放多首音乐，并可设置循环次数；
    2. 节假日不播放；可按每日、每周、每月、指定日期或临时一次播放；
    3. 定时关机；
    4. 顺序播放和随机播放；
    5. 目录播放：播放一个目录中的全部音频文件；
    6. 音频库管理；
    7. 背景音乐。

软件使用步骤：
    1. 在“音频库”页设置音频库；
    2. 在“定时时间列表”页设置任务列表；
    3. 在“基本设置”页设置节假日；
    4. 全部设置完成后，重新启动一次本软件。

数据文件：
    设置、任务列表和音频库、用户分别保存在 Config.ini、TimeMusicList.ini 和 user.dat 中，位于：
    %1
    备份时复制这三个文件即可；恢复时先从托盘菜单“退出”本软件，再把它们复制回该文件夹。

联系方式：请与贵单位的系统管理员联系。
问题反馈：请写明所用版本和出现问题的任务设置。

如果本软件对您有帮助，欢迎捐助，支持我们继续改进。)").arg(ApplicationDirectory()));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
}
