#pragma once
#include "platform/Errors.h"
#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QString>
#include <exception>
#include <functional>
#include <utility>

class QWidget;

// The standard error box: every event handler runs inside this guard, so a failure ends only
// that handler, is shown with the application title as caption, and the program runs on.
class HandlerGuard {
public:
    HandlerGuard(IMessageBoxes& boxes, std::function<QString()> title, QWidget* owner = nullptr)
        : m_boxes(boxes), m_title(std::move(title)), m_owner(owner) {}

    // Runs f; returns false when it failed (and the failure was shown).
    template <class F>
    bool run(F&& f) const
    {
        return runReporting([this](const QString& message) { show(message); }, std::forward<F>(f));
    }

    // Runs f; a failure's message goes to report instead of the box.
    template <class R, class F>
    static bool runReporting(R&& report, F&& f)
    {
        try {
            std::forward<F>(f)();
            return true;
        } catch (const SilentAbort&) {
            return false;
        } catch (const AppError& e) {
            report(e.message());
        } catch (const std::exception& e) {
            report(QString::fromUtf8(e.what()));
        } catch (...) {
            report(QCoreApplication::translate("HandlerGuard", "未知错误"));
        }
        return false;
    }

    // A slot for connect(): the handler wrapped in the guard.
    template <class F>
    auto wrap(F f) const
    {
        return [this, f](auto&&...) { run(f); };
    }

    // The failure's message with "." appended unless it already ends in "." or something before it.
    static QString boxText(const QString& message);

    // Shows a failure in the standard error box without ending anything.
    void show(const QString& message) const;

private:

    IMessageBoxes& m_boxes;
    std::function<QString()> m_title;
    QWidget* m_owner;
};
