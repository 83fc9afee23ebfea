#pragma once

#include "serial/linesettings.h"
#include "serial/link.h"
#include "serial/outcome.h"
#include "serial/portmap.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

namespace qpv {

// The serial communications control: the port number, the line settings and the line behind
// the port (a device, or a device server for rfc2217:// and socket://), the port selection, and
// the wait for a line that went away. Nothing here waits: a device server's answer comes later.
class MSComm : public QObject {
    Q_OBJECT

public:
    explicit MSComm(PortMap ports, QObject* parent = nullptr);

    int CommPort() const { return m_commPort; }
    bool PortOpen() const { return m_link && m_link->isOpen(); }
    // "COM1 (/dev/ttyS0)": how reports name the current port.
    QString portLabel() const;
    // A report as the STATUS line shows it: the port and the cause first, the device (a
    // by-id name can be long) left to the whole report.
    QString brief(const QString& report) const;
    // What stands behind a port, for its option (see PortMap::describe).
    QString describePort(int port) const { return m_ports.describe(port); }
    // Looks the computer's ports up again; an open port is not switched behind the operator's
    // back.
    void lookUpPorts();

    // The port selection: the port in use is closed, `target` becomes the port and is opened,
    // whether or not the port had been open, so choosing a port always recovers a closed line.
    // portChosen() or portChoiceFailed() follows, at once for a device. On failure the line
    // stays on the port in use: its number is kept, it is reopened if it had been open, and a
    // wait for its lost device goes on.
    void choosePort(int target);
    // Applies at once to an open port; kept for the next open in any case.
    Outcome setSettings(const LineSettings& settings);
    // Closes the port and ends any wait or selection under way.
    void close();

    // Transmits the bytes in order, adding nothing, and returns at once.
    Outcome setOutput(const QByteArray& bytes);
    // Every character received and not yet read.
    QByteArray Input();

signals:
    // Characters have arrived.
    void OnComm();
    void portChosen(int port);
    // The report of what failed (for the warning box) and the port that stays in use.
    void portChoiceFailed(const QString& report, int portInUse);
    // A sentence for the STATUS line: a port connecting, lost or back, settings not applied.
    void reported(const QString& text);
    // The ports were looked up: what stands behind each may have changed.
    void portsLookedUp();

private:
    struct Selection {
        int target;
        int previous;
        QString previousDevice; // the port in use stays on its device
        bool wasOpen;
        bool awaitingDevice;
        bool fallingBack = false;
        QString failure;
    };

    void useLink(int port, const QString& device);
    void openLink();
    void onOpened();
    void onOpenFailed(const QString& report);
    void onLost(const QString& report);
    void tryReopen();

    PortMap m_ports;
    int m_commPort = 1;
    LineSettings m_settings = k9600;
    Link* m_link = nullptr; // for m_commPort
    QTimer m_reopenTimer;   // runs while a lost line is waited for
    std::optional<Selection> m_selection;
    bool m_connectingShown = false; // STATUS says the port is connecting
};

} // namespace qpv
