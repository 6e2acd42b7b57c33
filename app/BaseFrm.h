#pragma once
#include "platform/MessageBoxes.h"

#include <QWidget>

class QEventLoop;

// Base of the program's own windows: the three message boxes, shown through the platform
// service, and modal showing for the dialogs among them.
class TfmBaseFrm : public QWidget {
public:
    enum ModalResult { mrCancel = 0, mrOk = 1 };

    explicit TfmBaseFrm(IMessageBoxes& boxes, QWidget* parent = nullptr);

    void ErrorBox(const QString& text);
    bool ConfirmBox(const QString& text);
    void WarningBox(const QString& text);

    // Shows the window application-modal and returns once it is hidden: mrOk when CloseModal
    // said so, mrCancel for every other way of closing (close box, Esc, program exit).
    int ShowModal();
    void CloseModal(int result);

protected:
    IMessageBoxes& boxes() const { return m_boxes; }
    void hideEvent(QHideEvent* event) override;

private:
    IMessageBoxes& m_boxes;
    QEventLoop* m_modalLoop = nullptr;
    int m_modalResult = mrCancel;
};
