#include "platform/FileIdentity.h"

#include <QFile>

#include <sys/stat.h>
#include <time.h>

namespace {

FileIdentity identityOf(const struct stat& st)
{
    FileIdentity id;
    id.exists = true;
    id.regular = S_ISREG(st.st_mode);
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.mtimeSec = st.st_mtim.tv_sec;
    id.mtimeNsec = st.st_mtim.tv_nsec;
    id.ctimeSec = st.st_ctim.tv_sec;
    id.ctimeNsec = st.st_ctim.tv_nsec;
    return id;
}

} // namespace

FileIdentity FileIdentityOf(const QString& path)
{
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return identityOf(st);
}

FileIdentity FileIdentityOfOpen(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return {};
    return identityOf(st);
}

bool ModifiedMoreThanSecondsAgo(const FileIdentity& id, int seconds)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return id.mtimeSec + seconds < now.tv_sec
        || (id.mtimeSec + seconds == now.tv_sec && id.mtimeNsec < now.tv_nsec);
}
