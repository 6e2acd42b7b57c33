#pragma once
#include <QString>

// Lets a test simulate a crash during a save: the new content is written to the temporary
// file, but the rename that would replace the old file never happens.
void SetIniSaveInterruptedForTesting(bool interrupted);

// Whether name (in the folder of fileName) is a copy that an interrupted save of fileName left.
bool IsInterruptedSaveOf(const QString& name, const QString& fileName);

// Reads parse the file at each call instead of taking it from the cache (for comparing the
// two, and for measuring what a read costs without it).
void SetIniCacheBypassedForTesting(bool bypassed);

// How many times a read has parsed a file since the program started.
int IniFileParsesForTesting();
