#include "zones/ZonePage.h"

#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/ReportView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace {

constexpr int kMaxPort = 65535;
const QColor kProblemColor(200, 0, 0);

QSpinBox* NewSpin(int min, int max, int step, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(min, max);
    spin->setSingleStep(step);
    // Taken once the number is complete, not at each digit.
    spin->setKeyboardTracking(false);
    return spin;
}

bool IsHost(const QString& text)
{
    return !text.isEmpty() && std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

int ConnectedOf(const std::vector<SnapClient>& clients)
{
    return int(std::count_if(clients.begin(), clients.end(), [](const SnapClient& c) { return c.connected; }));
}

std::vector<BroadcastZone> Without(const std::vector<BroadcastZone>& zones, const QString& name)
{
    std::vector<BroadcastZone> others;
    std::copy_if(zones.begin(), zones.end(), std::back_inserter(others),
                 [&](const BroadcastZone& z) { return z.name != name; });
    return others;
}

// One past the highest port in use, at least FirstZonePort, never the server's own ports;
// 0 when none is left.
int NextZonePort(const BroadcastSettings& s)
{
    int port = FirstZonePort;
    for (const BroadcastZone& z : s.zones)
        port = std::max(port, z.port + 1);
    while (port == s.streamPort || port == s.controlPort)
        ++port;
    return port <= kMaxPort ? port : 0;
}

} // namespace

ZonePage::ZonePage(IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* parent)
    : QWidget(parent), m_boxes(boxes), m_guard(guard)
{
    buildPage();
    connectControls();
    setSettings(m_settings);
}

void ZonePage::buildPage()
{
    chkEnabled = new QCheckBox(tr("启用分区广播"), this);
    lblStatus = new QLabel(this);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_body = new QWidget(this);
    auto* server = new QGroupBox(tr("服务器"), m_body);
    rbOwnServer = new QRadioButton(tr("本机（由本程序启动 snapserver）"), server);
    rbOtherServer = new QRadioButton(tr("其他服务器："), server);
    edtServer = new QLineEdit(server);
    edtServer->setAccessibleName(tr("服务器的地址"));
    spnStreamPort = NewSpin(1, kMaxPort, 1, server);
    spnControlPort = NewSpin(1, kMaxPort, 1, server);
    spnBuffer = NewSpin(MinBroadcastBufferMs, MaxBroadcastBufferMs, 100, server);
    spnBuffer->setToolTip(tr("Snapcast 服务器的缓冲；铃声提前这么多送往各分区，使各楼与本机同时响起"));
    auto* s = new QGridLayout(server);
    s->addWidget(rbOwnServer, 0, 0, 1, 2);
    s->addWidget(rbOtherServer, 1, 0);
    s->addWidget(edtServer, 1, 1);
    int row = 2;
    for (const auto& [caption, spin] : {std::pair{tr("客户端端口"), spnStreamPort},
                                        std::pair{tr("控制端口"), spnControlPort},
                                        std::pair{tr("缓冲（毫秒）"), spnBuffer}}) {
        auto* label = new QLabel(caption, server);
        label->setBuddy(spin);
        spin->setAccessibleName(caption);
        s->addWidget(label, row, 0);
        s->addWidget(spin, row++, 1);
    }
    chkLocalDevice = new QCheckBox(tr("本机声卡也播放"), server);
    chkMusic = new QCheckBox(tr("背景音乐也送往各分区（铃声响时暂停）"), server);
    s->addWidget(chkLocalDevice, row++, 0, 1, 2);
    s->addWidget(chkMusic, row++, 0, 1, 2);
    s->setRowStretch(row, 1);

    auto* zones = new QGroupBox(tr("分区"), m_body);
    tblZones = new QTableWidget(0, 3, zones);
    tblZones->setHorizontalHeaderLabels({tr("分区"), tr("端口"), tr("客户端")});
    tblZones->setAccessibleName(tr("分区"));
    tblZones->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblZones->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblZones->setSelectionMode(QAbstractItemView::SingleSelection);
    tblZones->verticalHeader()->hide();
    tblZones->horizontalHeader()->setStretchLastSection(true);
    tblZones->setColumnWidth(0, 140);
    tblZones->setColumnWidth(1, 70);
    btnAddZone = new QPushButton(tr("添加分区…"), zones);
    btnRenameZone = new QPushButton(tr("重命名…"), zones);
    btnDeleteZone = new QPushButton(tr("删除分区"), zones);
    auto* zoneButtons = new QVBoxLayout;
    zoneButtons->addWidget(btnAddZone);
    zoneButtons->addWidget(btnRenameZone);
    zoneButtons->addWidget(btnDeleteZone);
    zoneButtons->addStretch();
    auto* z = new QHBoxLayout(zones);
    z->addWidget(tblZones, 1);
    z->addLayout(zoneButtons);

    auto* clients = new QGroupBox(tr("客户端"), m_body);
    lvClients = new QTreeWidget(clients);
    MakeReportView(lvClients, tr("客户端"), false);
    // The rows of a zone hang under it.
    lvClients->setRootIsDecorated(true);
    lvClients->setHeaderLabels({tr("名称"), tr("IP 地址"), tr("状态"), tr("分区")});
    lvClients->setColumnWidth(0, 220);
    lvClients->setColumnWidth(1, 130);
    lvClients->setColumnWidth(2, 60);
    lvClients->setMinimumHeight(160);
    auto* c = new QVBoxLayout(clients);
    c->addWidget(lvClients);

    lblHint = new QLabel(m_body);
    lblHint->setWordWrap(true);
    lblHint->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* top = new QHBoxLayout;
    top->addWidget(server);
    top->addWidget(zones, 1);
    auto* body = new QVBoxLayout(m_body);
    body->setContentsMargins(0, 0, 0, 0);
    body->addLayout(top);
    body->addWidget(clients, 1);
    body->addWidget(lblHint);

    // Scrolls rather than squeezes the lists on a small screen.
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(chkEnabled);
    layout->addWidget(lblStatus);
    layout->addWidget(m_body, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
}

void ZonePage::connectControls()
{
    connect(chkEnabled, &QCheckBox::toggled, this,
            m_guard.wrap([this] { edit([this](BroadcastSettings& s) { s.enabled = chkEnabled->isChecked(); }); }));
    connect(chkLocalDevice, &QCheckBox::toggled, this, m_guard.wrap([this] {
        edit([this](BroadcastSettings& s) { s.localDevice = chkLocalDevice->isChecked(); });
    }));
    connect(chkMusic, &QCheckBox::toggled, this,
            m_guard.wrap([this] { edit([this](BroadcastSettings& s) { s.music = chkMusic->isChecked(); }); }));
    const std::pair<QSpinBox*, int BroadcastSettings::*> spins[] = {{spnStreamPort, &BroadcastSettings::streamPort},
                                                                    {spnControlPort, &BroadcastSettings::controlPort},
                                                                    {spnBuffer, &BroadcastSettings::bufferMs}};
    for (const auto& [spin, field] : spins)
        connect(spin, &QSpinBox::valueChanged, this, m_guard.wrap([this, spin, field] {
            edit([spin, field](BroadcastSettings& s) { s.*field = spin->value(); });
        }));
    // Toggles both ways, whichever of the two buttons the user picks.
    connect(rbOtherServer, &QRadioButton::toggled, this, m_guard.wrap([this] { serverChosen(); }));
    connect(edtServer, &QLineEdit::editingFinished, this, m_guard.wrap([this] { serverEdited(); }));
    connect(btnAddZone, &QPushButton::clicked, this, m_guard.wrap([this] { btnAddZoneClick(); }));
    connect(btnRenameZone, &QPushButton::clicked, this, m_guard.wrap([this] { btnRenameZoneClick(); }));
    connect(btnDeleteZone, &QPushButton::clicked, this, m_guard.wrap([this] { btnDeleteZoneClick(); }));
}

void ZonePage::setSettings(const BroadcastSettings& settings)
{
    m_settings = settings;
    const QSignalBlocker quiet[] = {QSignalBlocker(chkEnabled), QSignalBlocker(chkLocalDevice),
                                    QSignalBlocker(chkMusic), QSignalBlocker(spnStreamPort),
                                    QSignalBlocker(spnControlPort), QSignalBlocker(spnBuffer)};
    chkEnabled->setChecked(settings.enabled);
    chkLocalDevice->setChecked(settings.localDevice);
    chkMusic->setChecked(settings.music);
    spnStreamPort->setValue(settings.streamPort);
    spnControlPort->setValue(settings.controlPort);
    spnBuffer->setValue(settings.bufferMs);
    showServer();
    m_body->setEnabled(settings.enabled);
    refresh();
}

void ZonePage::showServer()
{
    const QSignalBlocker quiet[] = {QSignalBlocker(rbOwnServer), QSignalBlocker(rbOtherServer),
                                    QSignalBlocker(edtServer)};
    (m_settings.ownServer() ? rbOwnServer : rbOtherServer)->setChecked(true);
    // A host typed earlier stays in the box for when the other server is chosen again.
    if (!m_settings.ownServer() || !IsHost(edtServer->text()))
        edtServer->setText(m_settings.server.trimmed());
    edtServer->setEnabled(rbOtherServer->isChecked());
}

void ZonePage::edit(const std::function<void(BroadcastSettings&)>& change)
{
    BroadcastSettings edited = m_settings;
    change(edited);
    if (edited == m_settings)
        return;
    m_settings = edited;
    m_body->setEnabled(edited.enabled);
    refresh();
    emit settingsEdited(edited);
}

void ZonePage::serverChosen()
{
    const bool other = rbOtherServer->isChecked();
    edtServer->setEnabled(other);
    if (!other) {
        edit([](BroadcastSettings& s) { s.server.clear(); });
        return;
    }
    // Without a host the choice waits for one to be typed: an empty server is this computer.
    if (IsHost(edtServer->text()))
        edit([this](BroadcastSettings& s) { s.server = edtServer->text(); });
    else
        edtServer->setFocus();
}

void ZonePage::serverEdited()
{
    if (!rbOtherServer->isChecked())
        return;
    if (!IsHost(edtServer->text())) {
        m_boxes.ErrorBox(this, tr("请输入服务器的地址"));
        showServer();
        return;
    }
    edit([this](BroadcastSettings& s) { s.server = edtServer->text(); });
}

void ZonePage::showStatus(const SnapcastStatus& status)
{
    m_status = status;
    refresh();
}

void ZonePage::showServerProblem(const QString& text)
{
    m_problem = text;
    showStatusLine();
}

void ZonePage::refresh()
{
    fillZones();
    fillClients();
    showStatusLine();
    lblHint->setText(tr("其他楼的电脑或树莓派加入：安装 snapclient，运行 snapclient -h 本机的地址（端口 %1），"
                        "它会出现在上面的客户端列表中，再把它分到所属的分区。")
                         .arg(m_settings.streamPort));
}

void ZonePage::fillZones()
{
    const int selected = tblZones->currentRow();
    tblZones->setRowCount(int(m_settings.zones.size()));
    for (int row = 0; row < tblZones->rowCount(); ++row) {
        const BroadcastZone& zone = m_settings.zones[size_t(row)];
        auto* clients = new QTableWidgetItem(QStringLiteral("—"));
        if (m_status.reachable) {
            const auto found = m_status.clientsByStream.find(zone.name);
            const int total = found == m_status.clientsByStream.end() ? 0 : int(found->second.size());
            const int online = found == m_status.clientsByStream.end() ? 0 : ConnectedOf(found->second);
            if (online == 0) {
                clients->setText(tr("无客户端"));
                clients->setForeground(kProblemColor);
            } else {
                clients->setText(tr("%1 台在线 / 共 %2 台").arg(online).arg(total));
            }
        }
        tblZones->setItem(row, 0, new QTableWidgetItem(zone.name));
        tblZones->setItem(row, 1, new QTableWidgetItem(QString::number(zone.port)));
        tblZones->setItem(row, 2, clients);
    }
    if (tblZones->rowCount() > 0)
        tblZones->selectRow(std::clamp(selected, 0, tblZones->rowCount() - 1));
}

void ZonePage::fillClients()
{
    lvClients->clear();
    if (!m_status.reachable)
        return;
    QStringList zoneNames;
    for (const BroadcastZone& zone : m_settings.zones)
        zoneNames << zone.name;
    auto addClients = [&](QTreeWidgetItem* parent, const QString& stream, const std::vector<SnapClient>& clients) {
        for (const SnapClient& client : clients) {
            auto* row = new QTreeWidgetItem(parent, {client.name, client.ip,
                                                     client.connected ? tr("在线") : tr("离线")});
            auto* zone = new QComboBox;
            zone->addItems(zoneNames);
            zone->setPlaceholderText(stream); // a client of a stream that is no zone
            zone->setCurrentIndex(int(zoneNames.indexOf(stream)));
            zone->setAccessibleName(tr("%1 的分区").arg(client.name));
            lvClients->setItemWidget(row, 3, zone);
            connect(zone, &QComboBox::activated, this, m_guard.wrap([this, zone, stream, groupId = client.groupId] {
                if (zone->currentText() != stream)
                    emit clientZoneChosen(groupId, zone->currentText());
            }));
        }
    };
    for (const BroadcastZone& zone : m_settings.zones) {
        auto* row = new QTreeWidgetItem(lvClients, {zone.name});
        const auto found = m_status.clientsByStream.find(zone.name);
        if (found != m_status.clientsByStream.end())
            addClients(row, zone.name, found->second);
    }
    QTreeWidgetItem* others = nullptr;
    for (const auto& [stream, clients] : m_status.clientsByStream) {
        if (m_settings.zone(stream) || clients.empty())
            continue;
        if (!others)
            others = new QTreeWidgetItem(lvClients, {tr("其他流")});
        addClients(others, stream, clients);
    }
    lvClients->expandAll();
}

void ZonePage::showStatusLine()
{
    QString text;
    bool problem = false;
    if (!m_settings.enabled) {
        text = tr("分区广播未启用");
    } else if (!m_problem.isEmpty()) {
        text = m_problem;
        problem = true;
    } else if (m_status.reachable) {
        text = tr("服务器 %1:%2 正常").arg(m_settings.host()).arg(m_settings.controlPort);
    } else {
        text = m_status.error;
        problem = true;
    }
    lblStatus->setText(text);
    lblStatus->setStyleSheet(problem ? QStringLiteral("color: %1;").arg(kProblemColor.name()) : QString());
}

const BroadcastZone* ZonePage::selectedZone() const
{
    const int row = tblZones->currentRow();
    return row >= 0 && row < int(m_settings.zones.size()) ? &m_settings.zones[size_t(row)] : nullptr;
}

bool ZonePage::askZoneName(const QString& title, const std::vector<BroadcastZone>& others, QString& name)
{
    for (;;) {
        QInputDialog ask(this);
        ask.setWindowTitle(title);
        ask.setLabelText(tr("分区名称："));
        ask.setTextValue(name);
        ask.setOkButtonText(tr("确定"));
        ask.setCancelButtonText(tr("取消"));
        if (ask.exec() != QDialog::Accepted)
            return false;
        name = ask.textValue();
        const QString problem = ZoneNameProblem(name, others);
        if (problem.isEmpty())
            return true;
        m_boxes.ErrorBox(this, problem);
    }
}

void ZonePage::btnAddZoneClick()
{
    const int port = NextZonePort(m_settings);
    if (port == 0) {
        m_boxes.ErrorBox(this, tr("没有可用的端口，无法再添加分区"));
        return;
    }
    QString name;
    if (!askZoneName(tr("添加分区"), m_settings.zones, name))
        return;
    edit([&](BroadcastSettings& s) { s.zones.push_back({name, port}); });
    tblZones->selectRow(tblZones->rowCount() - 1);
}

void ZonePage::btnRenameZoneClick()
{
    const BroadcastZone* zone = selectedZone();
    if (!zone)
        return;
    const QString old = zone->name;
    QString name = old;
    if (!askZoneName(tr("重命名分区"), Without(m_settings.zones, old), name) || name == old)
        return;
    emit zoneRenamed(old, name);
    edit([&](BroadcastSettings& s) {
        for (BroadcastZone& z : s.zones)
            if (z.name == old)
                z.name = name;
    });
}

void ZonePage::btnDeleteZoneClick()
{
    const BroadcastZone* zone = selectedZone();
    if (!zone)
        return;
    const QString name = zone->name;
    if (!m_boxes.ConfirmBox(this, tr("确定删除分区“%1”？").arg(name)))
        return;
    edit([&](BroadcastSettings& s) { s.zones = Without(s.zones, name); });
}
