#pragma once
// Time and date fields of the task editor. They hold the text as typed, from any place of the
// caret, and are read when the editor is confirmed: a value that does not exist (25:00:00,
// 2026-02-30) is refused there with a message, never rolled or corrected behind the user's back.
// Up and Down step the part under the caret, as a time picker does.
#include <QAbstractSpinBox>
#include <QDate>
#include <QTime>

class PartsField : public QAbstractSpinBox {
public:
    explicit PartsField(QChar separator, QWidget* parent = nullptr);
    // Text shown as given, also one that names no value (a stored one, to be corrected).
    void setText(const QString& text);
    using QAbstractSpinBox::lineEdit;
    QValidator::State validate(QString& input, int& pos) const override;
    void stepBy(int steps) override;
    // Wide enough for the widest text of its kind, as a time or date picker is.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // The widest text the field holds ("00:00:00").
    void setWidestText(const QString& text) { m_widest = text; }
    void keyPressEvent(QKeyEvent* event) override;
    StepEnabled stepEnabled() const override;
    // Steps the part (from 0) by steps; false when the text holds no value to step.
    virtual bool stepPart(int part, int steps) = 0;

private:
    QChar m_separator;
    QString m_widest;
};

// A time of day, or a duration below a day, as "HH:mm:ss" ("H:mm:ss" reads too).
class TimeField : public PartsField {
public:
    explicit TimeField(QWidget* parent = nullptr);
    // Null when the text is no time of day.
    QTime time() const;
    void setTime(const QTime& time);

protected:
    bool stepPart(int part, int steps) override;
};

// A calendar date as "yyyy-MM-dd" (month and day may lack their leading zero).
class DateField : public PartsField {
public:
    explicit DateField(QWidget* parent = nullptr);
    // Null when the text names no date that exists.
    QDate date() const;
    void setDate(const QDate& date);

protected:
    bool stepPart(int part, int steps) override;
};
