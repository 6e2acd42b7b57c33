#pragma once
// Lets a test simulate a crash during a save: the new content is written to the temporary
// file, but the rename that would replace the old file never happens.
void SetIniSaveInterruptedForTesting(bool interrupted);
