#pragma once
#include "schedule/AutomaticShutdown.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QTimer>
#include <QWidget>

class IClock;
class QCloseEvent;
class QLabel;
class QLCDNumber;

// The countdown window before the automatic shutdown. Closing it by hand only hides it: the
// automatic shutdown owns it and decides when it goes.
class TfrmShotdownHint : public QWidget, public ICountdownWindow {
    Q_DECLARE_TR_FUNCTIONS(TfrmShotdownHint)

public:
    explicit TfrmShotdownHint(const IClock& clock, QWidget* parent = nullptr);

    void SetCountdownTarget(const QDateTime& moment);
    void showCountdown(const QDateTime& moment) override
    {
        SetCountdownTarget(moment);
        show();
    }
    // Each second: hides the window once the target has passed and shows the time left.
    void tmr1Timer();
    // What the digits show, "hh:mm:ss".
    QString CountdownText() const { return m_text; }

    QLabel* lblHint;
    QLCDNumber* rzldsply1;
    QTimer tmr1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showTimeLeft(const QDateTime& now);

    const IClock& m_clock;
    QDateTime m_target;
    QString m_text;
};
