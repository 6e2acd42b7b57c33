#include "platform/Guard.h"

QString HandlerGuard::boxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void HandlerGuard::show(const QString& message) const
{
    m_boxes.show(m_owner, m_title ? m_title() : QString(), boxText(message), BoxIcon::Error,
                 BoxButtons::Ok);
}
