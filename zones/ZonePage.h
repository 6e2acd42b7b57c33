#pragma once
// The "分区广播" page: the Snapcast server, the zones (one stream each) and the clients in the
// other buildings. The page holds no file and talks to no server: the main window saves what
// settingsEdited hands it, gives back what the file holds through setSettings, and feeds the
// server's status in.
#include "platform/SnapcastStatus.h"
#include "storage/BroadcastConfig.h"

#include <QWidget>

#include <functional>

class HandlerGuard;
class IMessageBoxes;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QTreeWidget;

class ZonePage : public QWidget {
    Q_OBJECT
public:
    ZonePage(IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* parent = nullptr);

    // The controls from settings; emits nothing.
    void setSettings(const BroadcastSettings& settings);
    const BroadcastSettings& settings() const { return m_settings; }
    // The zones' client counts and the client list.
    void showStatus(const SnapcastStatus& status);
    // Shown in the status line instead of the server's health; empty clears it.
    void showServerProblem(const QString& text);

    void btnAddZoneClick();
    void btnRenameZoneClick();
    void btnDeleteZoneClick();

    QCheckBox* chkEnabled;
    QRadioButton* rbOwnServer;
    QRadioButton* rbOtherServer;
    QLineEdit* edtServer;
    QSpinBox* spnStreamPort;
    QSpinBox* spnControlPort;
    QSpinBox* spnBuffer;
    QCheckBox* chkLocalDevice;
    QCheckBox* chkMusic;
    // Columns 分区, 端口, 客户端; one row per zone in the settings' order.
    QTableWidget* tblZones;
    QPushButton* btnAddZone;
    QPushButton* btnRenameZone;
    QPushButton* btnDeleteZone;
    // One top-level row per zone (and "其他流"); under it its clients, the last column a
    // QComboBox of the zones.
    QTreeWidget* lvClients;
    QLabel* lblStatus;
    QLabel* lblHint;

signals:
    // After each change the user makes: the whole settings as the page now holds them.
    void settingsEdited(const BroadcastSettings& settings);
    // Before the settingsEdited of a rename: the tasks that name the zone must follow it.
    void zoneRenamed(const QString& oldName, const QString& newName);
    // The user moved a client (its group) to the zone's stream.
    void clientZoneChosen(const QString& groupId, const QString& zoneName);

private:
    void buildPage();
    void connectControls();
    void edit(const std::function<void(BroadcastSettings&)>& change);
    void serverChosen();
    void serverEdited();
    void showServer();
    // The table, the client list, the status line and the hint from m_settings and m_status.
    void refresh();
    void fillZones();
    void fillClients();
    void showStatusLine();
    // The zone the selected table row stands for; nullptr when none.
    const BroadcastZone* selectedZone() const;
    // Asks a name not taken by others until it is good; false when the user cancels.
    bool askZoneName(const QString& title, const std::vector<BroadcastZone>& others, QString& name);

    IMessageBoxes& m_boxes;
    const HandlerGuard& m_guard;
    QWidget* m_body;
    BroadcastSettings m_settings;
    SnapcastStatus m_status;
    QString m_problem;
};
