#include "platform/FailureBox.h"

#include "platform/MessageBoxes.h"

#include <QMessageBox>

QtFailureBox::~QtFailureBox()
{
    delete m_box.data();
}

void QtFailureBox::show(QWidget* owner, const QString& caption, const QString& text)
{
    delete m_box.data();
    m_box = new QMessageBox(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
    m_box->setAttribute(Qt::WA_DeleteOnClose);
    m_box->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    m_box->show();
}

bool QtFailureBox::isOpen() const
{
    return m_box && m_box->isVisible();
}

void QtFailureBox::setText(const QString& text)
{
    if (m_box)
        m_box->setText(text);
}

void MessageBoxFailureBox::show(QWidget* owner, const QString& caption, const QString& text)
{
    m_open = true;
    m_boxes.show(owner, caption, text, BoxIcon::Error, BoxButtons::Ok);
    m_open = false;
}
