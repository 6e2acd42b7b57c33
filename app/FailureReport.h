#pragma once
// Failures of what runs unattended (task starts, the due-time check, the start-up load): each
// goes to the play log, and the user sees them in one box at a time. Failures while that box
// is open are added to its text instead of opening more boxes on top of it.
#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class IFailureBox;
class QWidget;

class FailureReport {
    Q_DECLARE_TR_FUNCTIONS(FailureReport)
public:
    using Log = std::function<void(const QString& message)>;

    FailureReport(IFailureBox& box, QWidget* owner, std::function<QString()> caption, Log log);

    void report(const QString& message);
    // For a failure its caller has logged already, with more to say than the message.
    void show(const QString& message);

    // While held (the window is not up yet) failures are logged and wait; release shows them.
    void hold() { m_held = true; }
    void release();

    // The box's text for a first failure and those that came after it.
    static QString boxText(const QString& first, const QStringList& later, int laterCount);

private:
    void showOrAdd(const QString& message);

    IFailureBox& m_box;
    QWidget* m_owner;
    std::function<QString()> m_caption;
    Log m_log;
    bool m_held = false;
    QStringList m_waiting;
    QString m_first;
    QStringList m_later; // the most recent ones, as many as the box lists
    int m_laterCount = 0;
};
