#include "app/BaseFrm.h"

TfmBaseFrm::TfmBaseFrm(IMessageBoxes& boxes, QWidget* parent) : QWidget(parent), m_boxes(boxes) {}

void TfmBaseFrm::ErrorBox(const QString& text)
{
    m_boxes.ErrorBox(this, text);
}

bool TfmBaseFrm::ConfirmBox(const QString& text)
{
    return m_boxes.ConfirmBox(this, text);
}

void TfmBaseFrm::WarningBox(const QString& text)
{
    m_boxes.WarningBox(this, text);
}
