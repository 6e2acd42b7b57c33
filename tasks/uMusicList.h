#pragma once
// The music selection dialog of the task editor: lists the audio files or the directories of
// the library and hands back the checked ones as "key=display name" lines.
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTreeWidget>

class TfrmSelMusic : public QDialog {
    Q_OBJECT

public:
    // libraryList: the library's "number=path" lines, paths deciphered.
    explicit TfrmSelMusic(const QStringList& libraryList, QWidget* owner = nullptr);

    int SelectedKind = 1;          // 1 = audio files, 2 = directories
    bool Accepted = false;         // true only when closed with the OK button
    QStringList SelectedMusic;     // "key=display name" lines of the checked rows

    // Replace the rows by the library's audio file entries or its directory entries.
    void LoadAudioFiles();
    void LoadDirectories();

    QTreeWidget* lvMusic;
    QRadioButton* rbFile;
    QRadioButton* rbDirectory;
    QPushButton* btn1;
    QPushButton* btn2;

    // Every way of closing other than the OK button ends here: Cancel, Esc and the close box.
    void reject() override;

private:
    void fill(bool directories);
    void btn1Click();

    QStringList m_libraryList;
};
