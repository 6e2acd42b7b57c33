#pragma once
#include <QWidget>

class QPlainTextEdit;

// The "关于" page: a fixed, read-only text about the program.
class AboutPage : public QWidget {
public:
    explicit AboutPage(const QString& productTitle, QWidget* parent = nullptr);
    QPlainTextEdit* text() const { return m_text; }

private:
    QPlainTextEdit* m_text;
};
