#pragma once
#include <QByteArray>
#include <QString>

// Writes bytes to path whole or not at all (QSaveFile: a crash or a full disk leaves the old
// file). Returns the reason it failed, empty when written.
QString SaveWholeFile(const QString& path, const QByteArray& bytes);
