#pragma once
// "立即响铃": the library's entries, one of which is rung at once by hand.
#include <QCoreApplication>
#include <QDialog>
#include <QStringList>

class QPushButton;
class QTreeWidget;

class RingNowDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(RingNowDialog)

public:
    // libraryList: the library's "number=path" lines. preferredKey is selected first when the
    // library holds it, else the first entry is.
    RingNowDialog(const QStringList& libraryList, const QString& preferredKey,
                  QWidget* owner = nullptr);

    // The number of the selected entry; empty when none is selected.
    QString selectedKey() const;

    QTreeWidget* lvMusic;
    QPushButton* btnRing;
    QPushButton* btnCancel;
};
