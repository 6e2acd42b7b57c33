#pragma once
// The two small services the music library and task playback share.
#include <QString>
#include <QStringList>

class IDialogs;
class QWidget;

// Fills List with "N=path" lines, N from 1, for the files directly in Dir whose extension
// (from the last dot of the name, case ignored) occurs in ExtList, e.g. ".mp3.wav.mid.avi";
// an empty ExtList takes every file. Entries are numbered in natural name order. The path is
// Dir unchanged, one "/" and the name. A directory that cannot be listed gives an empty List.
void SearchFiles(const QString& Dir, const QString& ExtList, QStringList& List);

// True and the chosen directory when the user confirms; Folder is untouched otherwise.
bool ChooseFolder(IDialogs& dialogs, QWidget* owner, const QString& Title, QString& Folder);
