#include "tasks/TypedFields.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>

PartsField::PartsField(QChar separator, QWidget* parent)
    : QAbstractSpinBox(parent), m_separator(separator)
{
    // Typed characters go in where the caret is; nothing is corrected while typing.
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
}

QSize PartsField::sizeHint() const
{
    QSize size = QAbstractSpinBox::sizeHint();
    // The text, the frame and the up and down arrows.
    size.setWidth(qMax(size.width(), fontMetrics().horizontalAdvance(m_widest) + 36));
    return size;
}

QSize PartsField::minimumSizeHint() const
{
    return sizeHint();
}

QValidator::State PartsField::validate(QString& input, int&) const
{
    // Digits and separators only; whether they name a value is checked on confirming.
    for (QChar c : input)
        if (!c.isDigit() && c != m_separator)
            return QValidator::Invalid;
    return input.size() <= 12 ? QValidator::Acceptable : QValidator::Invalid;
}

void PartsField::keyPressEvent(QKeyEvent* event)
{
    // A digit overwrites the one at the caret and a separator steps over the one there, as
    // on a picker: the field keeps its shape wherever the caret is.
    QLineEdit* edit = lineEdit();
    const QString typed = event->text();
    if (typed.size() == 1 && !edit->hasSelectedText()) {
        const QString text = edit->text();
        int at = edit->cursorPosition();
        if (typed[0] == m_separator && at < text.size() && text[at] == m_separator) {
            edit->setCursorPosition(at + 1);
            event->accept();
            return;
        }
        if (typed[0].isDigit()) {
            if (at < text.size() && text[at] == m_separator)
                ++at;
            if (at < text.size() && text[at].isDigit())
                edit->setSelection(at, 1);
        }
    }
    QAbstractSpinBox::keyPressEvent(event);
}

QAbstractSpinBox::StepEnabled PartsField::stepEnabled() const
{
    return StepUpEnabled | StepDownEnabled;
}

void PartsField::stepBy(int steps)
{
    const QString text = lineEdit()->text();
    const int caret = lineEdit()->cursorPosition();
    const int part = int(text.left(caret).count(m_separator));
    if (!stepPart(part, steps))
        return;
    // The caret stays in the part it stepped, so repeated steps go on with it.
    const QString now = lineEdit()->text();
    int at = 0;
    for (int i = 0; i < part; ++i)
        at = int(now.indexOf(m_separator, at)) + 1;
    const int end = int(now.indexOf(m_separator, at));
    lineEdit()->setSelection(at, (end < 0 ? int(now.size()) : end) - at);
}

void PartsField::setText(const QString& text)
{
    lineEdit()->setText(text);
}

TimeField::TimeField(QWidget* parent) : PartsField(u':', parent)
{
    setWidestText(QStringLiteral("00:00:00"));
    setTime(QTime(0, 0, 0));
}

QTime TimeField::time() const
{
    static const QRegularExpression shape(QStringLiteral("^(\\d{1,2}):(\\d{2}):(\\d{2})$"));
    const QRegularExpressionMatch m = shape.match(text());
    if (!m.hasMatch())
        return QTime();
    // QTime refuses hours above 23 and minutes or seconds above 59.
    return QTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

void TimeField::setTime(const QTime& time)
{
    setText(time.isValid() ? time.toString(QStringLiteral("HH:mm:ss")) : QString());
}

bool TimeField::stepPart(int part, int steps)
{
    const QTime t = time();
    if (!t.isValid() || part > 2)
        return false;
    static const int unit[] = {3600, 60, 1};
    // A step out of the day does nothing: rolling past midnight would change the day's order.
    const int seconds = t.msecsSinceStartOfDay() / 1000 + steps * unit[part];
    if (seconds < 0 || seconds > 86399)
        return false;
    setTime(QTime(0, 0).addSecs(seconds));
    return true;
}

DateField::DateField(QWidget* parent) : PartsField(u'-', parent)
{
    setWidestText(QStringLiteral("0000-00-00"));
}

QDate DateField::date() const
{
    static const QRegularExpression shape(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const QRegularExpressionMatch m = shape.match(text());
    if (!m.hasMatch())
        return QDate();
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

void DateField::setDate(const QDate& date)
{
    setText(date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString());
}

bool DateField::stepPart(int part, int steps)
{
    const QDate d = date();
    if (!d.isValid() || part > 2)
        return false;
    setDate(part == 0 ? d.addYears(steps) : part == 1 ? d.addMonths(steps) : d.addDays(steps));
    return true;
}
