#pragma once
// A text that goes both to the play log and to the window. PlayLog.txt is always Chinese, so
// the log keeps the source text; the window shows it in the interface's language.
#include <QCoreApplication>
#include <QString>

struct LoggedText {
    QString logged; // the Chinese source, for PlayLog.txt
    QString shown;  // translated, for the window

    // source: a literal marked with QT_TRANSLATE_NOOP(context, ...).
    static LoggedText of(const char* context, const char* source)
    {
        return {QString::fromUtf8(source), QCoreApplication::translate(context, source)};
    }

    LoggedText arg(const QString& a) const { return {logged.arg(a), shown.arg(a)}; }
    LoggedText arg(qint64 a) const { return {logged.arg(a), shown.arg(a)}; }
    // A piece that is itself logged and shown: each side takes its own.
    LoggedText arg(const LoggedText& a) const { return {logged.arg(a.logged), shown.arg(a.shown)}; }
    bool isEmpty() const { return logged.isEmpty(); }
};
