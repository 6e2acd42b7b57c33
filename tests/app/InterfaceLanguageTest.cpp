// The window in English holds no Chinese text, and in Chinese holds exactly the texts it always
// held: a walk over every page, menu and dialog collects what a user can read.
#include "app/AboutPage.h"
#include "app/Unit1.h"
#include "platform/Localization.h"
#include "settings/CalendarPage.h"
#include "settings/SettingsPage.h"
#include "settings/ShotdownHint.h"
#include "storage/IniStore.h"
#include "storage/InterfaceLanguage.h"
#include "support/FakeWindowServices.h"
#include "support/ModalAnswer.h"
#include "support/TempDir.h"
#include "tasks/TaskListPage.h"
#include "tasks/uTaskSet.h"
#include "zones/ZonePage.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QTranslator>
#include <QTreeView>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

namespace {

// What a reader meets in a widget and everything shown inside it.
class TextWalk {
public:
    std::set<QString> texts;

    void add(const QString& text)
    {
        if (!text.trimmed().isEmpty())
            texts.insert(text);
    }

    void actions(const QList<QAction*>& list)
    {
        for (QAction* a : list) {
            add(a->text());
            add(a->toolTip() == QString(a->text()).remove(QLatin1Char('&')) ? QString() : a->toolTip());
            if (a->menu())
                actions(a->menu()->actions());
        }
    }

    void model(const QAbstractItemModel* m, const QModelIndex& parent = {})
    {
        if (!parent.isValid())
            for (int c = 0; c < m->columnCount(); ++c)
                for (int role : {Qt::DisplayRole, Qt::ToolTipRole})
                    add(m->headerData(c, Qt::Horizontal, role).toString());
        for (int r = 0; r < m->rowCount(parent); ++r)
            for (int c = 0; c < m->columnCount(parent); ++c) {
                const QModelIndex i = m->index(r, c, parent);
                add(i.data(Qt::DisplayRole).toString());
                add(i.data(Qt::ToolTipRole).toString());
                if (c == 0 && m->hasChildren(i))
                    model(m, i);
            }
    }

    void widget(QWidget* top)
    {
        QList<QWidget*> all = top->findChildren<QWidget*>();
        all.prepend(top);
        for (QWidget* w : all) {
            if (w != top && !w->isVisibleTo(top))
                continue;
            if (w->isWindow())
                add(w->windowTitle());
            add(w->toolTip());
            add(w->accessibleName());
            add(w->accessibleDescription());
            actions(w->actions());
            if (auto* l = qobject_cast<QLabel*>(w))
                add(l->text());
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                add(b->text());
            if (auto* t = qobject_cast<QToolButton*>(w); t && t->menu())
                actions(t->menu()->actions());
            if (auto* g = qobject_cast<QGroupBox*>(w))
                add(g->title());
            if (auto* e = qobject_cast<QLineEdit*>(w)) {
                add(e->text());
                add(e->placeholderText());
            }
            if (auto* s = qobject_cast<QAbstractSpinBox*>(w)) {
                add(s->text());
                add(s->specialValueText());
            }
            if (auto* c = qobject_cast<QComboBox*>(w))
                for (int i = 0; i < c->count(); ++i)
                    add(c->itemText(i));
            if (auto* t = qobject_cast<QTabWidget*>(w))
                for (int i = 0; i < t->count(); ++i) {
                    add(t->tabText(i));
                    add(t->tabToolTip(i));
                }
            if (auto* v = qobject_cast<QAbstractItemView*>(w); v && v->model())
                model(v->model());
            if (auto* p = qobject_cast<QPlainTextEdit*>(w))
                add(p->toPlainText());
            if (auto* p = qobject_cast<QTextEdit*>(w))
                add(p->toPlainText());
            if (auto* s = qobject_cast<QStatusBar*>(w))
                add(s->currentMessage());
        }
        // Context and tray menus are shown only on demand; every one of them counts.
        for (QMenu* m : top->findChildren<QMenu*>())
            actions(m->actions());
    }
};

// Opens the dialog that trigger brings up, lets look run in it, then closes it.
void InDialog(const char* what, const std::function<void()>& trigger, const std::function<void(QWidget*)>& look)
{
    bool seen = false;
    AnswerNextModal([&](QWidget* d) {
        seen = true;
        look(d);
        d->close();
    });
    trigger();
    EXPECT_TRUE(seen) << what << ": no dialog came up";
}

const QRegularExpression Chinese(QStringLiteral("[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));

struct InterfaceWalk : ::testing::Test, FakeWindowServices {
    TempAppDir dir;

    void SetUp() override
    {
        // Every kind of task, holiday and zone, under names that are not Chinese themselves.
        dir.write("bell.wav", "x");
        dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\nStayAwake=0\n"
                                    "[Holiday]\n1-1=1-3\n[HolidayDates]\n2026-10-01=2026-10-07\n"
                                    "[WorkDays]\n2026-10-10=5\n"
                                    "[Broadcast]\nEnabled=0\n[BroadcastZones]\nNorth=4953\nSouth=4954\n");
        dir.writeText("TimeMusicList.ini",
                      "[Time]\n07:50:00=1,0,1\n08:00:00=1,1,1\n08:45:00=0,0,1\n09:00:00=1,0,1\n12:00:00=1,0,1\n"
                      "[TimeParams]\n07:50:00=1,1,1,0,,0,00:00:00\n08:00:00=2,1,2,1,1111100,30,00:00:00\n"
                      "08:45:00=1,2,1,2,1000000000000010000000000000000,0,08:50:00\n"
                      "09:00:00=1,1,1,3,2026-03-20,0,00:00:00\n12:00:00=1,1,1,4,2026-03-02 12:00:00,0,00:00:00\n"
                      "[TaskZones]\n07:50:00=North\n[Music]\n1=" + dir.file("bell.wav") + "\n");
        dir.writeText("bells.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\n"
                                   "UID:1@test\r\nDTSTART;VALUE=DATE:20261001\r\nDTEND;VALUE=DATE:20261008\r\n"
                                   "SUMMARY:National Day\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    }

    // Everything the walk reads, with the data folder's name taken out.
    std::set<QString> walk()
    {
        TfrmMain w(services());
        w.show();
        QTest::qWait(50);
        TextWalk seen;
        seen.widget(&w);
        // TAVURO_WALK_PICTURES=<folder>: a picture of each page and dialog, to look at.
        const QString pictures = qEnvironmentVariable("TAVURO_WALK_PICTURES");
        int shown = 0;
        auto picture = [&](QWidget* window) {
            if (!pictures.isEmpty())
                window->grab().save(QStringLiteral("%1/dialog%2.png").arg(pictures).arg(++shown));
        };
        for (int i = 0; i < w.PageControl1->count(); ++i) {
            seen.widget(w.PageControl1->widget(i));
            if (!pictures.isEmpty()) {
                w.PageControl1->setTabVisible(i, true);
                w.PageControl1->setCurrentIndex(i);
                w.grab().save(QStringLiteral("%1/page%2.png").arg(pictures).arg(i));
            }
        }
        auto look = [&](QWidget* d) {
            seen.widget(d);
            picture(d);
        };

        TaskListPage* tasks = w.tsplaylist;
        InDialog("task editor", [&] { tasks->actAddTask->trigger(); }, [&](QWidget* d) {
            look(d);
            auto* editor = dynamic_cast<TfrmTaskSet*>(d);
            EXPECT_TRUE(editor);
            if (editor)
                InDialog("music choice", [&] { editor->btnMusicAdd->click(); }, look);
        });
        InDialog("period timetable", [&] { tasks->actPeriodTimetable->trigger(); }, look);
        InDialog("ring now", [&] { tasks->actRingNow->trigger(); }, look);
        InDialog("password", [&] { w.tsSet->btn4->click(); }, look);
        dialogs.fileAnswers.enqueue({dir.file("bells.ics")});
        InDialog("calendar import", [&] { w.tsCalendar->btnImportCalendar->click(); }, look);
        InDialog("new zone", [&] { w.tsZones->btnAddZoneClick(); }, look);
        TfrmShotdownHint hint(clock);
        seen.widget(&hint);
        picture(&hint);
        // A command with nothing chosen explains itself in a box.
        tasks->lvMusicTime->clearSelection();
        tasks->actEditTask->trigger();
        for (const ShownBox& b : boxes.shown) {
            seen.add(b.caption);
            seen.add(b.text);
        }
        std::set<QString> texts;
        for (const QString& t : seen.texts)
            texts.insert(QString(t).replace(dir.path(), QStringLiteral("<data>")));
        return texts;
    }
};

TEST_F(InterfaceWalk, EnglishLeavesNoChineseText)
{
    QTranslator english;
    ASSERT_TRUE(english.load(QStringLiteral(":/i18n/TavuroMP3_en.qm")));
    QCoreApplication::installTranslator(&english);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::set<QString> texts = walk();
    QCoreApplication::removeTranslator(&english);
    QLocale::setDefault(before);

    EXPECT_GT(texts.size(), 250u);
    for (const QString& text : texts) {
        // The language box names Chinese in Chinese, for whoever reads only that.
        if (text != QStringLiteral("中文")) {
            EXPECT_FALSE(text.contains(Chinese)) << text.toStdString();
        }
    }
    EXPECT_TRUE(texts.count(QStringLiteral("Schedule")));
}

// The texts of the Chinese window, one per line ("\n" inside a text written as "\\n"), are kept
// in InterfaceTexts_zh.txt; TAVURO_WRITE_TEXTS=1 writes the file anew after a deliberate change.
TEST_F(InterfaceWalk, ChineseShowsTheTextsItAlwaysShowed)
{
    const std::set<QString> texts = walk();
    QStringList lines;
    for (const QString& t : texts)
        lines << QString(t).replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    const QString path = QStringLiteral(TAVURO_SOURCE_DIR "/tests/app/InterfaceTexts_zh.txt");
    if (qEnvironmentVariableIntValue("TAVURO_WRITE_TEXTS") == 1) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        return;
    }
    QFile in(path);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << path.toStdString();
    const QStringList expected = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : expected)
        EXPECT_TRUE(lines.contains(line)) << "no longer shown: " << line.toStdString();
    for (const QString& line : lines)
        EXPECT_TRUE(expected.contains(line)) << "new: " << line.toStdString();
}

// The About page's language box writes Config.ini, and the next start reads the choice there.
TEST(InterfaceLanguage, TheChoiceIsKeptForTheNextStart)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    const QString config = dir.file("Config.ini");
    EXPECT_EQ(ReadLanguageChoice(config), LanguageChoice::Desktop);
    AboutPage page(QStringLiteral("TavuroMP3"));
    ASSERT_EQ(page.cbxLanguage->currentData().toInt(), int(LanguageChoice::Desktop));
    for (LanguageChoice choice : {LanguageChoice::English, LanguageChoice::Chinese, LanguageChoice::Desktop}) {
        page.cbxLanguage->setCurrentIndex(page.cbxLanguage->findData(int(choice)));
        emit page.cbxLanguage->activated(page.cbxLanguage->currentIndex());
        EXPECT_EQ(ReadLanguageChoice(config), choice);
        EXPECT_EQ(AboutPage(QStringLiteral("TavuroMP3")).cbxLanguage->currentData().toInt(), int(choice));
    }
    EXPECT_TRUE(dir.readText("Config.ini").contains("AutoStart=0"));

    struct Case {
        const char* language;
        const char* lcAll;
        const char* lang;
        bool chinese;
    } cases[] = {
        {nullptr, nullptr, "zh_CN.UTF-8", true},     {nullptr, nullptr, "zh_TW.UTF-8", true},
        {nullptr, nullptr, "en_GB.UTF-8", false},    {nullptr, nullptr, nullptr, false},
        {nullptr, "de_DE.UTF-8", "zh_CN.UTF-8", false}, {"zh_CN:en", nullptr, "en_US.UTF-8", true},
    };
    const QByteArray saved[3] = {qgetenv("LANGUAGE"), qgetenv("LC_ALL"), qgetenv("LANG")};
    const QByteArray messages = qgetenv("LC_MESSAGES");
    qunsetenv("LC_MESSAGES");
    for (const Case& c : cases) {
        c.language ? qputenv("LANGUAGE", c.language) : qunsetenv("LANGUAGE");
        c.lcAll ? qputenv("LC_ALL", c.lcAll) : qunsetenv("LC_ALL");
        c.lang ? qputenv("LANG", c.lang) : qunsetenv("LANG");
        EXPECT_EQ(DesktopSpeaksChinese(), c.chinese) << (c.lang ? c.lang : "-");
    }
    const char* names[3] = {"LANGUAGE", "LC_ALL", "LANG"};
    for (int i = 0; i < 3; ++i)
        saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
    if (!messages.isNull())
        qputenv("LC_MESSAGES", messages);
}

} // namespace
