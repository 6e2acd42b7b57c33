#pragma once
// The box that tells of failures nobody was there to see (a bell that could not ring, a bad
// line at start-up). Unlike the message boxes it never holds the caller: playback and the
// due-time check run on while it is open, and its text can grow.
#include <QPointer>
#include <QString>

class IMessageBoxes;
class QMessageBox;
class QWidget;

class IFailureBox {
public:
    virtual ~IFailureBox() = default;
    virtual void show(QWidget* owner, const QString& caption, const QString& text) = 0;
    virtual bool isOpen() const = 0;
    // The text of the open box.
    virtual void setText(const QString& text) = 0;
};

// A window-modal box shown without a nested event loop; closing it is the user's OK.
class QtFailureBox : public IFailureBox {
public:
    ~QtFailureBox() override;
    void show(QWidget* owner, const QString& caption, const QString& text) override;
    bool isOpen() const override;
    void setText(const QString& text) override;

private:
    QPointer<QMessageBox> m_box;
};

// Over the ordinary message boxes, for callers that give no failure box of their own.
class MessageBoxFailureBox : public IFailureBox {
public:
    explicit MessageBoxFailureBox(IMessageBoxes& boxes) : m_boxes(boxes) {}
    void show(QWidget* owner, const QString& caption, const QString& text) override;
    bool isOpen() const override { return m_open; }
    void setText(const QString&) override {}

private:
    IMessageBoxes& m_boxes;
    bool m_open = false;
};
