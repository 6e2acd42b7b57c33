#include "app/FailureReport.h"
#include "platform/FailureBox.h"

#include <gtest/gtest.h>

namespace {

struct FakeFailureBox : IFailureBox {
    QStringList shown;
    QString text;
    bool open = false;
    void show(QWidget*, const QString&, const QString& t) override
    {
        shown << t;
        text = t;
        open = true;
    }
    bool isOpen() const override { return open; }
    void setText(const QString& t) override { text = t; }
};

TEST(FailureReport, OneBoxAtATimeCollectsWhatFollowsAndEverythingIsLogged)
{
    FakeFailureBox box;
    QStringList logged;
    FailureReport report(box, nullptr, [] { return QStringLiteral("T"); },
                         [&](const QString& m) { logged << m; });

    report.hold();
    report.report("a");
    report.report("b");
    EXPECT_TRUE(box.shown.isEmpty()) << "held until the window is up";
    report.release();
    EXPECT_EQ(box.shown, QStringList{"a"});
    EXPECT_EQ(box.text, FailureReport::boxText("a", {"b"}, 1));
    EXPECT_TRUE(box.text.contains("此后又有 1 个错误：\nb"));

    for (int i = 0; i < 7; ++i)
        report.report(QString::number(i));
    EXPECT_EQ(box.shown.size(), 1) << "no box on top of the open one";
    EXPECT_EQ(box.text, FailureReport::boxText("a", {"2", "3", "4", "5", "6"}, 8));
    EXPECT_TRUE(box.text.contains("此后又有 8 个错误，最近 5 个："));

    box.open = false; // the user pressed OK
    report.report("c");
    EXPECT_EQ(box.shown, (QStringList{"a", "c"}));
    EXPECT_EQ(box.text, "c");
    EXPECT_EQ(logged.size(), 10);
}

} // namespace
