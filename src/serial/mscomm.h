#pragma once

#include "serial/linesettings.h"
#include "serial/link.h"
#include "serial/outcome.h"
#include "serial/portmap.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

namespace qpv {

// Makes the line behind a port: a device, or a device server for rfc2217:// and socket://.
using LinkFactory = std::function<Link*(int port, const QString& device, QObject* parent)>;

// The serial communications control: the port number, the line settings and the line behind
// the port, the port selection, and the wait for a line that went away. Nothing here waits: a
// line's answer comes later.
class MSComm : public QObject {
    Q_OBJECT

public:
    MSComm(PortMap ports, LinkFactory makeLink, QObject* parent = nullptr);

    int CommPort() const { return m_commPort; }
    bool PortOpen() const { return m_link && m_link->isOpen(); }
    // What stands behind a port, as the ports were last looked up.
    PortAssignment assignment(int port) const { return m_ports.assignment(port); }
    // Looks the computer's ports up again; an open port is not switched behind the operator's
    // back.
    void lookUpPorts();

    // The port selection: the port in use is closed, `target` becomes the port and is opened,
    // whether or not the port had been open, so choosing a port always recovers a closed line.
    // portChosen() or portChoiceFailed() follows, always after this has returned. On failure
    // the line stays on the port in use: its number is kept, it is reopened if it had been
    // open, and a wait for its lost device goes on.
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
    // What failed (the port chosen, and the port in use where reopening it failed too), and
    // the port that stays in use.
    void portChoiceFailed(const QList<qpv::Report>& failures, int portInUse);
    // What the STATUS line tells of the line: a port connecting, connected, lost or back, and
    // the warnings of an open line.
    void lineReported(const qpv::Report& report);
    // The ports were looked up: what stands behind each may have changed.
    void portsLookedUp();

private:
    struct Selection {
        int target;
        int previous;
        QString previousDevice; // the port in use stays on its device
        QString previousIdentity;
        bool wasOpen;
        bool awaitingDevice;
        bool fallingBack = false;
        QList<Report> failures;
    };

    void useLink(int port, const QString& device);
    void openLink();
    void onOpened();
    void onOpenFailed(const Report& report);
    void onLost(const Report& report);
    void tryReopen();

    PortMap m_ports;
    LinkFactory m_makeLink;
    int m_commPort = 1;
    LineSettings m_settings = k9600;
    Link* m_link = nullptr; // for m_commPort
    QTimer m_reopenTimer;   // runs while a lost line is waited for
    std::optional<Selection> m_selection;
    bool m_connectingShown = false; // STATUS says the port is connecting
};

} // namespace qpv
