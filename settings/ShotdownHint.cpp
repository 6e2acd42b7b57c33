#include "settings/ShotdownHint.h"

#include "platform/Clock.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLCDNumber>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Eight LED places hold "hh:mm:ss"; a wait past 99 hours shows the most they can.
QString TimeLeftText(qint64 ms)
{
    constexpr qint64 most = 99 * 3600 + 59 * 60 + 59;
    const qint64 seconds = std::clamp(ms / 1000, qint64(0), most);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

TfrmShotdownHint::TfrmShotdownHint(const IClock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      m_clock(clock),
      m_text(QStringLiteral("00:00:00"))
{
    setWindowTitle(tr("关机倒计时"));
    setFixedSize(294, 185);

    lblHint = new QLabel(tr("离关闭计算机还有"), this);
    QFont font = lblHint->font();
    font.setPixelSize(19);
    font.setBold(true);
    lblHint->setFont(font);
    QPalette green = lblHint->palette();
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    lblHint->setPalette(green);
    lblHint->setAlignment(Qt::AlignCenter);

    rzldsply1 = new QLCDNumber(8, this);
    rzldsply1->setSegmentStyle(QLCDNumber::Flat);
    rzldsply1->setFrameShape(QFrame::NoFrame);
    rzldsply1->setFixedSize(250, 80);
    rzldsply1->setAccessibleName(tr("剩余时间"));
    // Bright segments on black read from across a classroom.
    QPalette led = rzldsply1->palette();
    led.setColor(QPalette::Window, Qt::black);
    led.setColor(QPalette::WindowText, QColor(255, 48, 48));
    rzldsply1->setPalette(led);
    rzldsply1->setAutoFillBackground(true);
    rzldsply1->display(m_text);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(14);
    layout->addStretch();
    layout->addWidget(lblHint, 0, Qt::AlignHCenter);
    layout->addWidget(rzldsply1, 0, Qt::AlignHCenter);
    layout->addStretch();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }

    tmr1.setInterval(1000);
    connect(&tmr1, &QTimer::timeout, this, [this] { tmr1Timer(); });
    tmr1.start();
}

void TfrmShotdownHint::SetCountdownTarget(const QDateTime& moment)
{
    m_target = moment;
    // Right away, so a window shown now does not read 00:00:00 for its first second.
    showTimeLeft(m_clock.now());
}

void TfrmShotdownHint::tmr1Timer()
{
    const QDateTime now = m_clock.now();
    if (m_target.isValid() && now > m_target)
        hide();
    showTimeLeft(now);
}

void TfrmShotdownHint::showTimeLeft(const QDateTime& now)
{
    m_text = TimeLeftText(m_target.isValid() ? now.msecsTo(m_target) : 0);
    rzldsply1->display(m_text);
}

void TfrmShotdownHint::closeEvent(QCloseEvent* event)
{
    // Hidden, never closed: a closed last window could end the program and its bells.
    event->ignore();
    hide();
}
