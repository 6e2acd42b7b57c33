#pragma once
#include <QString>

class QWidget;

enum class BoxIcon { Error, Question, Warning, Information };
enum class BoxButtons { Ok, OkCancel };
enum class BoxAnswer { Ok, Cancel };

// All modal message boxes of the program go through this service.
class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    virtual BoxAnswer show(QWidget* owner, const QString& caption, const QString& text, BoxIcon icon,
                           BoxButtons buttons) = 0;

    void ErrorBox(QWidget* owner, const QString& text);
    // True only when the user pressed OK; closing the box counts as Cancel.
    bool ConfirmBox(QWidget* owner, const QString& text);
    void WarningBox(QWidget* owner, const QString& text);
    void MainErrorBox(QWidget* owner, const QString& text);
};

// Real boxes: QMessageBox::exec, whose nested event loop keeps timers and notices running.
class QtMessageBoxes : public IMessageBoxes {
public:
    BoxAnswer show(QWidget* owner, const QString& caption, const QString& text, BoxIcon icon,
                   BoxButtons buttons) override;
};
