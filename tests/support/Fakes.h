#pragma once
// Stand-ins for the system services, for tests.
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/ShutdownRequest.h"
#include "platform/StartupRegistration.h"
#include "support/QtPrinters.h"

#include <QList>
#include <QQueue>

#include <functional>

class FakeClock : public IClock {
public:
    QDateTime current = QDateTime(QDate(2026, 3, 2), QTime(8, 0, 0));
    QDateTime now() const override { return current; }
    void set(const QDate& d, const QTime& t) { current = QDateTime(d, t); }
    void advance(int ms) { current = current.addMSecs(ms); }
};

struct ShownBox {
    QString caption;
    QString text;
    BoxIcon icon;
    BoxButtons buttons;
};

// Records every box; answers from a queue (OK when it is empty).
class FakeMessageBoxes : public IMessageBoxes {
public:
    QList<ShownBox> shown;
    QQueue<BoxAnswer> answers;
    // Runs while a box is "open", as timers and notices do during a real one.
    std::function<void()> whileOpen;
    BoxAnswer show(QWidget*, const QString& caption, const QString& text, BoxIcon icon,
                   BoxButtons buttons) override
    {
        shown.append({caption, text, icon, buttons});
        if (whileOpen)
            whileOpen();
        return answers.isEmpty() ? BoxAnswer::Ok : answers.dequeue();
    }
    QStringList texts() const
    {
        QStringList t;
        for (const ShownBox& b : shown)
            t << b.text;
        return t;
    }
};

// Each dialog call takes the next scripted answer; an unscripted call counts as cancelled.
class FakeDialogs : public IDialogs {
public:
    QQueue<QStringList> fileAnswers;
    QQueue<QString> folderAnswers; // an empty text means the user cancelled
    QQueue<QString> saveAnswers;   // an empty text means the user cancelled
    QStringList titles;
    QStringList filters;
    QStringList suggestedNames;

    QStringList openFiles(QWidget*, const QString& title, const QString& filter) override
    {
        titles << title;
        filters << filter;
        return fileAnswers.isEmpty() ? QStringList() : fileAnswers.dequeue();
    }
    QString openFile(QWidget*, const QString& title, const QString& filter) override
    {
        const QStringList files = openFiles(nullptr, title, filter);
        return files.isEmpty() ? QString() : files.first();
    }
    bool chooseFolder(QWidget*, const QString& title, QString& folder) override
    {
        titles << title;
        if (folderAnswers.isEmpty())
            return false;
        const QString answer = folderAnswers.dequeue();
        if (answer.isEmpty())
            return false;
        folder = answer;
        return true;
    }
    QString saveFile(QWidget*, const QString& title, const QString& filter,
                     const QString& suggestedName) override
    {
        titles << title;
        filters << filter;
        suggestedNames << suggestedName;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
    }
};

// Records each power-off request and never powers anything off; refuses when told to.
class FakeShutdownRequest : public IShutdownRequest {
public:
    int requests = 0;
    QString refusal; // non-empty: the request is refused with this reason
    bool requestPowerOff(QString* error) override
    {
        ++requests;
        if (refusal.isEmpty())
            return true;
        if (error)
            *error = refusal;
        return false;
    }
};

// Records registrations; can be told that its place cannot be opened.
class FakeStartupRegistration : public IStartupRegistration {
public:
    bool canOpen = true;
    QStringList log; // "register:<path>" or "unregister"
    bool open() override { return canOpen; }
    void registerProgram(const QString& executablePath) override { log << "register:" + executablePath; }
    void unregisterProgram() override { log << "unregister"; }
};
