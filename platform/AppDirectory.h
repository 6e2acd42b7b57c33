#pragma once
#include <QString>

// The directory that holds the data files, with a trailing separator: the executable's own
// directory when it can be written and is not an installed one, else the per-user data
// location (~/.local/share/TavuroMP3/).
QString ApplicationDirectory();

// The same, found before the application object exists (the application's name must be set):
// the interface language is read from there before Qt fixes its system locale.
QString ApplicationDirectoryBeforeStart();

// Whether exeDir is the bin/ of an installed program (its menu entry lies in ../share):
// such a directory is shared by every user and written by the package manager, also
// when the one running the program could write it.
bool IsInstalledLayout(const QString& exeDir);

// Tests (and nothing else) point the program at a directory of their own.
void SetApplicationDirectoryOverride(const QString& dir);
