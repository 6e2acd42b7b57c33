#pragma once
// A file as it is on disk now: a save that replaces it (a new inode) or a write in place (a new
// size or new times) gives it another identity.
#include <QString>
#include <QtGlobal>

struct FileIdentity {
    bool exists = false;  // the file could be looked at
    bool regular = false; // a regular file, not a directory, pipe or device
    quint64 device = 0, inode = 0;
    qint64 size = 0, mtimeSec = 0, mtimeNsec = 0, ctimeSec = 0, ctimeNsec = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity FileIdentityOf(const QString& path);
// The identity of an open file, by its descriptor.
FileIdentity FileIdentityOfOpen(int fd);

// Whether the file was last modified more than seconds ago by the system's clock.
bool ModifiedMoreThanSecondsAgo(const FileIdentity& id, int seconds);
