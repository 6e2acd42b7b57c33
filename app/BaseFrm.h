#pragma once
#include "platform/MessageBoxes.h"

#include <QWidget>

// Base of the program's own windows: the three message boxes, shown through the platform service.
class TfmBaseFrm : public QWidget {
public:
    explicit TfmBaseFrm(IMessageBoxes& boxes, QWidget* parent = nullptr);

    void ErrorBox(const QString& text);
    bool ConfirmBox(const QString& text);
    void WarningBox(const QString& text);

protected:
    IMessageBoxes& boxes() const { return m_boxes; }

private:
    IMessageBoxes& m_boxes;
};
