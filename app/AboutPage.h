#pragma once
#include "storage/InterfaceLanguage.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPlainTextEdit;

// The "关于" page: a fixed, read-only text about the program, and the interface language,
// which the next start takes up.
class AboutPage : public QWidget {
    Q_OBJECT
public:
    explicit AboutPage(const QString& productTitle, QWidget* parent = nullptr);
    QPlainTextEdit* text() const { return m_text; }

    QComboBox* cbxLanguage;
    QLabel* lblLanguageNote;

private:
    void chooseLanguage();

    QPlainTextEdit* m_text;
    LanguageChoice m_saved;
};
