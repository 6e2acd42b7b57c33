#include "storage/PlayLog.h"
#include "support/TempDir.h"

#include <QFile>
#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

QString readGb18030(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QStringDecoder("GB18030").decode(file.readAll());
}

TEST(PlayLog, OneGb18030LinePerEventAndRotationKeepsItBounded)
{
    TempAppDir dir;
    const PlayLog log(dir.file("PlayLog.txt"), 300);
    const QDateTime at(QDate(2026, 12, 9), QTime(8, 0, 15));
    log.Append(at, "08:00:15", "/m/上课铃.mp3", "播放失败：无法识别的格式（bad\r\nheader\tx）");
    EXPECT_EQ(readGb18030(log.path()),
              "2026-12-09 08:00:15\t08:00:15\t/m/上课铃.mp3\t播放失败：无法识别的格式（bad header x）\r\n");

    for (int i = 0; i < 40; ++i)
        log.Append(at.addSecs(i), "08:00:15", "/m/a.mp3", "开始播放");
    const qint64 size = QFile(log.path()).size();
    EXPECT_GT(size, 0);
    EXPECT_LE(size, 300);
    EXPECT_LE(QFile(log.oldPath()).size(), 300);
    EXPECT_EQ(log.oldPath(), dir.file("PlayLog.old.txt"));
    // The newest line is in the current file, complete.
    EXPECT_TRUE(readGb18030(log.path()).endsWith("2026-12-09 08:00:54\t08:00:15\t/m/a.mp3\t开始播放\r\n"));
}

} // namespace
