#pragma once
// Answers the next modal window that the code under test opens and blocks in: polls until one
// is shown, then hands it to the answer (which closes it, or the test would hang).
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

inline void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000)
{
    auto* poll = new QTimer;
    auto waited = std::make_shared<int>(0);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, waited, answer = std::move(answer), timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            answer(modal);
            return;
        }
        *waited += 5;
        if (*waited > timeoutMs) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no modal window was shown";
        }
    });
    poll->start();
}

// The modal window of the given type, or a test failure.
template <class T>
T* AsModal(QWidget* w)
{
    T* typed = dynamic_cast<T*>(w);
    if (!typed)
        ADD_FAILURE() << "the modal window is a " << w->metaObject()->className();
    return typed;
}
