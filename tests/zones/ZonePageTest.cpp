#include "zones/ZonePage.h"

#include "platform/Guard.h"
#include "support/Fakes.h"
#include "support/ModalAnswer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

BroadcastSettings Sample()
{
    BroadcastSettings s;
    s.enabled = true;
    s.zones = {{QStringLiteral("教学楼"), 4953}, {QStringLiteral("实验楼"), 4960}};
    return s;
}

struct Fixture {
    FakeMessageBoxes boxes;
    HandlerGuard guard{boxes, [] { return QStringLiteral("T"); }};
    ZonePage page{boxes, guard};
    std::vector<BroadcastSettings> edited;
    QStringList renamed;
    QStringList moved;

    explicit Fixture(const BroadcastSettings& settings = Sample())
    {
        page.setSettings(settings);
        QObject::connect(&page, &ZonePage::settingsEdited, [this](const BroadcastSettings& s) { edited.push_back(s); });
        QObject::connect(&page, &ZonePage::zoneRenamed,
                         [this](const QString& from, const QString& to) { renamed << from + ">" + to; });
        QObject::connect(&page, &ZonePage::clientZoneChosen,
                         [this](const QString& group, const QString& zone) { moved << group + ">" + zone; });
    }
};

// Answers the name dialogs in turn; a null text cancels.
void AnswerNames(QStringList names)
{
    if (names.isEmpty())
        return;
    AnswerNextModalOf<QInputDialog>([names](QInputDialog* ask) mutable {
        const QString name = names.takeFirst();
        if (name.isNull()) {
            ask->reject();
        } else {
            ask->setTextValue(name);
            ask->accept();
        }
        AnswerNames(names);
    });
}

TEST(ZonePage, FillingTheControlsEmitsNothingAndOffDisablesAllButTheSwitch)
{
    Fixture f;
    BroadcastSettings off = Sample();
    off.enabled = false;
    off.server = QStringLiteral("10.0.0.5");
    f.page.setSettings(off);
    EXPECT_TRUE(f.edited.empty());
    EXPECT_TRUE(f.page.chkEnabled->isEnabled());
    EXPECT_FALSE(f.page.spnBuffer->isEnabled());
    EXPECT_FALSE(f.page.btnAddZone->isEnabled());
    EXPECT_EQ(f.page.lblStatus->text(), "分区广播未启用");
    EXPECT_TRUE(f.page.rbOtherServer->isChecked());
}

TEST(ZonePage, EachEditHandsOverTheWholeSettings)
{
    struct Case {
        const char* what;
        std::function<void(ZonePage&)> act;
        std::function<void(BroadcastSettings&)> expect;
        QString server = {}; // the server the page starts with
    };
    const Case cases[] = {
        {"switch", [](ZonePage& p) { p.chkEnabled->setChecked(false); }, [](BroadcastSettings& s) { s.enabled = false; }},
        {"local", [](ZonePage& p) { p.chkLocalDevice->setChecked(false); },
         [](BroadcastSettings& s) { s.localDevice = false; }},
        {"music", [](ZonePage& p) { p.chkMusic->setChecked(true); }, [](BroadcastSettings& s) { s.music = true; }},
        {"stream port", [](ZonePage& p) { p.spnStreamPort->setValue(1800); },
         [](BroadcastSettings& s) { s.streamPort = 1800; }},
        {"control port", [](ZonePage& p) { p.spnControlPort->setValue(1900); },
         [](BroadcastSettings& s) { s.controlPort = 1900; }},
        {"buffer", [](ZonePage& p) { p.spnBuffer->setValue(1500); }, [](BroadcastSettings& s) { s.bufferMs = 1500; }},
        {"other server, host typed after",
         [](ZonePage& p) {
             p.rbOtherServer->setChecked(true);
             p.edtServer->setText(QStringLiteral("10.0.0.5"));
             emit p.edtServer->editingFinished();
         },
         [](BroadcastSettings& s) { s.server = QStringLiteral("10.0.0.5"); }},
        {"own server", [](ZonePage& p) { p.rbOwnServer->setChecked(true); },
         [](BroadcastSettings& s) { s.server.clear(); }, QStringLiteral("10.0.0.5")},
        {"own server, then back to the host still typed",
         [](ZonePage& p) {
             p.rbOwnServer->setChecked(true);
             p.rbOtherServer->setChecked(true);
         },
         [](BroadcastSettings& s) { s.server = QStringLiteral("10.0.0.5"); }, QStringLiteral("10.0.0.5")},
    };
    for (const Case& c : cases) {
        BroadcastSettings start = Sample();
        start.server = c.server;
        Fixture f(start);
        c.act(f.page);
        BroadcastSettings expected = start;
        c.expect(expected);
        ASSERT_FALSE(f.edited.empty()) << c.what;
        EXPECT_EQ(f.edited.back(), expected) << c.what;
        EXPECT_TRUE(f.boxes.shown.isEmpty()) << c.what;
    }
}

TEST(ZonePage, ABadHostIsRefusedAndTheBoxShowsTheSavedOne)
{
    for (const QString& bad : {QString(), QStringLiteral("10.0.0 .5")}) {
        BroadcastSettings start = Sample();
        start.server = QStringLiteral("10.0.0.5");
        Fixture f(start);
        f.page.edtServer->setText(bad);
        emit f.page.edtServer->editingFinished();
        EXPECT_TRUE(f.edited.empty());
        EXPECT_EQ(f.boxes.texts(), QStringList({"请输入服务器的地址"}));
        EXPECT_EQ(f.page.edtServer->text(), "10.0.0.5");
    }
}

TEST(ZonePage, AddedZoneTakesAGoodNameAndTheNextFreePort)
{
    struct Case {
        std::vector<BroadcastZone> zones;
        int streamPort;
        int port;
    };
    const Case cases[] = {
        {{}, 1704, FirstZonePort},
        {Sample().zones, 1704, 4961},
        {{}, FirstZonePort, FirstZonePort + 1}, // never the clients' own port
    };
    for (const Case& c : cases) {
        BroadcastSettings start = Sample();
        start.zones = c.zones;
        start.streamPort = c.streamPort;
        Fixture f(start);
        AnswerNames({QStringLiteral("a,b"), QStringLiteral("操场")});
        f.page.btnAddZone->click();
        ASSERT_EQ(f.edited.size(), 1u);
        EXPECT_EQ(f.edited[0].zones.back(), (BroadcastZone{QStringLiteral("操场"), c.port}));
        EXPECT_EQ(f.edited[0].zones.size(), c.zones.size() + 1);
        EXPECT_EQ(f.boxes.texts(), QStringList({"分区名称不能含有字符“,”"}));
    }

    Fixture f;
    AnswerNames({QString()});
    f.page.btnAddZone->click();
    EXPECT_TRUE(f.edited.empty()) << "cancelled";
}

TEST(ZonePage, RenamesAndDeletesTheSelectedZone)
{
    Fixture f;
    f.page.tblZones->selectRow(0);
    // The other zone's name is taken; the box says so and asks again.
    AnswerNames({QStringLiteral("实验楼"), QStringLiteral("一号楼")});
    f.page.btnRenameZone->click();
    EXPECT_EQ(f.boxes.texts(), QStringList({"已有名为“实验楼”的分区"}));
    EXPECT_EQ(f.renamed, QStringList({"教学楼>一号楼"}));
    ASSERT_EQ(f.edited.size(), 1u);
    EXPECT_EQ(f.edited[0].zones[0], (BroadcastZone{QStringLiteral("一号楼"), 4953}));

    f.page.tblZones->selectRow(1);
    f.boxes.answers << BoxAnswer::Cancel << BoxAnswer::Ok;
    f.page.btnDeleteZone->click();
    EXPECT_EQ(f.edited.size(), 1u) << "not confirmed";
    f.page.btnDeleteZone->click();
    EXPECT_EQ(f.boxes.texts().last(), "确定删除分区“实验楼”？");
    ASSERT_EQ(f.edited.size(), 2u);
    EXPECT_EQ(f.edited[1].zones, (std::vector<BroadcastZone>{{QStringLiteral("一号楼"), 4953}}));
    EXPECT_EQ(f.page.tblZones->rowCount(), 1);
}

SnapClient Client(const QString& name, const QString& group, bool connected)
{
    return {name, name, QStringLiteral("10.0.1.") + name.right(1), group, connected};
}

TEST(ZonePage, StatusFillsTheHealthAndTheClientsWhoseZoneCanBeChosen)
{
    Fixture f;
    SnapcastStatus status;
    status.reachable = true;
    status.clientsByStream[QStringLiteral("教学楼")] = {Client("pi1", "g1", true), Client("pi2", "g1", true),
                                                        Client("pi3", "g2", false)};
    status.clientsByStream[QStringLiteral("实验楼")] = {Client("pi4", "g3", false)};
    status.clientsByStream[QStringLiteral("default")] = {Client("pi5", "g4", true)};
    f.page.showStatus(status);

    EXPECT_EQ(f.page.tblZones->item(0, 2)->text(), "2 台在线 / 共 3 台");
    EXPECT_EQ(f.page.tblZones->item(1, 2)->text(), "无客户端");
    EXPECT_EQ(f.page.tblZones->item(1, 2)->foreground().color(), QColor(200, 0, 0));
    EXPECT_EQ(f.page.lblStatus->text(), "服务器 127.0.0.1:1705 正常");
    ASSERT_EQ(f.page.lvClients->topLevelItemCount(), 3);
    QTreeWidgetItem* others = f.page.lvClients->topLevelItem(2);
    EXPECT_EQ(others->text(0), "其他流");
    ASSERT_EQ(others->childCount(), 1);
    EXPECT_EQ(f.page.lvClients->topLevelItem(0)->child(2)->text(2), "离线");

    auto choose = [&](QTreeWidgetItem* row, int index) {
        auto* zone = qobject_cast<QComboBox*>(f.page.lvClients->itemWidget(row, 3));
        ASSERT_TRUE(zone);
        zone->setCurrentIndex(index);
        emit zone->activated(index);
    };
    choose(others->child(0), 1);
    choose(f.page.lvClients->topLevelItem(0)->child(0), 0); // where it is already
    EXPECT_EQ(f.moved, QStringList({"g4>实验楼"}));

    f.page.showServerProblem(QStringLiteral("无法连接 snapserver"));
    EXPECT_EQ(f.page.lblStatus->text(), "无法连接 snapserver");
    f.page.showStatus(SnapcastStatus());
    EXPECT_EQ(f.page.tblZones->item(0, 2)->text(), "—");
    EXPECT_EQ(f.page.lvClients->topLevelItemCount(), 0);
}

} // namespace
