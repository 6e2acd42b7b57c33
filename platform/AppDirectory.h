#pragma once
#include <QString>

// The directory that holds the data files, with a trailing separator: the executable's own
// directory when it can be written, else the per-user data location.
QString ApplicationDirectory();

// Tests (and nothing else) point the program at a directory of their own.
void SetApplicationDirectoryOverride(const QString& dir);
