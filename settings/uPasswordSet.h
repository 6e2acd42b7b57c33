#pragma once
// Changing the library password, libp in section Base of Config.ini, always stored enciphered.
#include "app/BaseFrm.h"

#include <QCoreApplication>

class HandlerGuard;
class QLabel;
class QLineEdit;
class QPushButton;

class TfrmPasswordSet : public TfmBaseFrm {
    Q_DECLARE_TR_FUNCTIONS(TfrmPasswordSet)

public:
    TfrmPasswordSet(IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* owner);

    // Stays open after a change, so that a further change needs no new opening.
    void btnOKClick();

    QLabel* lbl1;
    QLineEdit* edtOldPassword;
    QLabel* lbl2;
    QLineEdit* edtNewPassword;
    QLabel* lbl3;
    QLineEdit* edtNewPassword2;
    QPushButton* btnOK;
    QPushButton* btnCancel;
};

// Opens the dialog modally; an empty caption keeps the window's own.
void ShowPasswordSet(IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* owner,
                     const QString& caption);
