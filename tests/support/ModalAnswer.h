#pragma once
// Answers the next modal window that the code under test opens and blocks in: polls until one
// is shown, then hands it to the answer (which closes it, or the test would hang).
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

template <class T>
void AnswerNextModalOf(std::function<void(T*)> answer, int timeoutMs = 5000);

inline void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000)
{
    AnswerNextModalOf<QWidget>(std::move(answer), timeoutMs);
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

// As AnswerNextModal, but waits for a modal window of type T (a window opened from inside
// another modal one comes on top of it).
template <class T>
void AnswerNextModalOf(std::function<void(T*)> answer, int timeoutMs)
{
    auto* poll = new QTimer;
    auto waited = std::make_shared<int>(0);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, waited, answer = std::move(answer), timeoutMs] {
        T* modal = dynamic_cast<T*>(QApplication::activeModalWidget());
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
            ADD_FAILURE() << "no modal window of the expected type was shown";
        }
    });
    poll->start();
}
