#include "app/BaseFrm.h"

#include <QEventLoop>
#include <QHideEvent>
#include <QScreen>

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

int TfmBaseFrm::ShowModal()
{
    m_modalResult = mrCancel;
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    m_modalLoop = &loop;
    show();
    // Centred on the owner's window, or on the screen when there is none.
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = owner && owner->isVisible() ? owner->frameGeometry()
                                                   : screen()->availableGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    raise();
    activateWindow();
    // Timers and player notices keep coming in this loop; the program's exit ends it too.
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
    if (isVisible())
        hide();
    return m_modalResult;
}

void TfmBaseFrm::CloseModal(int result)
{
    m_modalResult = result;
    hide();
}

void TfmBaseFrm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // A minimized owner hides its windows spontaneously; that does not end the dialog.
    if (m_modalLoop && !event->spontaneous())
        m_modalLoop->quit();
}
