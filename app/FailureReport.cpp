#include "app/FailureReport.h"

#include "platform/FailureBox.h"

namespace {

// The box lists the latest few; the log has them all.
constexpr int kListed = 5;

} // namespace

FailureReport::FailureReport(IFailureBox& box, QWidget* owner, std::function<QString()> caption,
                             Log log)
    : m_box(box), m_owner(owner), m_caption(std::move(caption)), m_log(std::move(log))
{
}

void FailureReport::report(const QString& message)
{
    if (m_log)
        m_log(message);
    show(message);
}

void FailureReport::show(const QString& message)
{
    if (m_held)
        m_waiting << message;
    else
        showOrAdd(message);
}

void FailureReport::release()
{
    m_held = false;
    const QStringList waiting = std::exchange(m_waiting, {});
    for (const QString& message : waiting)
        showOrAdd(message);
}

void FailureReport::showOrAdd(const QString& message)
{
    if (!m_box.isOpen()) {
        m_first = message;
        m_later.clear();
        m_laterCount = 0;
        m_box.show(m_owner, m_caption ? m_caption() : QString(), message);
        return;
    }
    m_later << message;
    if (m_later.size() > kListed)
        m_later.removeFirst();
    ++m_laterCount;
    m_box.setText(boxText(m_first, m_later, m_laterCount));
}

QString FailureReport::boxText(const QString& first, const QStringList& later, int laterCount)
{
    if (laterCount == 0)
        return first;
    QString text = first + QStringLiteral("\n\n");
    text += laterCount > later.size() ? tr("此后又有 %1 个错误，最近 %2 个：").arg(laterCount).arg(later.size())
                                      : tr("此后又有 %1 个错误：").arg(laterCount);
    for (const QString& m : later)
        text += QLatin1Char('\n') + m;
    return text + QStringLiteral("\n\n") + tr("全部记录在 PlayLog.txt 中。");
}
