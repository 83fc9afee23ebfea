#pragma once

#include "serial/linesettings.h"
#include "serial/outcome.h"
#include "serial/report.h"
#include "serial/waitingcommands.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace qpv {

// One serial line the serial control talks over: a device on this computer (DeviceLink) or a
// device server on the network (ServerLink), for one port number. What it has to tell is a
// report (report.h) naming its port and device.
class Link : public QObject {
    Q_OBJECT

public:
    Link(int port, QString device, QObject* parent)
        : QObject(parent)
        , m_port(port)
        , m_device(std::move(device))
    {
    }

    // A line that takes nothing for this long while commands wait for it has stopped.
    static constexpr int kStalledMs = 5000;

    int port() const { return m_port; }
    QString device() const { return m_device; }
    // A report of this line, with its port and device.
    Report report(Cause cause) const { return Report{cause, m_port, m_device}; }

    // Starts opening with these settings; opened() or openFailed() follows, always after this
    // has returned (soon for a device, once it is known for a device server). Nothing follows
    // an open given up by close().
    virtual void open(const LineSettings& line) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool isOpening() const { return false; }
    // Whether opening again after a loss is worth trying now (the device that went is back).
    virtual bool mayReopen() const { return true; }
    // What tells the device last opened from another under the same name (empty where the link
    // does not tell); given to a new link that waits for that device in its stead.
    virtual QString identity() const { return {}; }
    virtual void setIdentity(const QString&) {}

    // Sends the bytes in order, adding nothing, and returns at once. A line slower than the
    // commands holds them back, each whole and in order; only a line that takes nothing for a
    // long time drops those still waiting, and warns how many.
    virtual Outcome write(const QByteArray& bytes) = 0;
    // Every byte received and not yet read.
    virtual QByteArray readAll() = 0;
    // Applies the settings to the open line.
    virtual Outcome apply(const LineSettings& line) = 0;

protected:
    // A command the line cannot hold back for it, and commands it dropped after a stall.
    Outcome refused(Cause cause) const
    {
        Report refusal = report(cause);
        refusal.number = WaitingCommands::kMostBytes;
        return Outcome::failure(refusal);
    }
    void stalled(qint64 dropped)
    {
        if (dropped == 0)
            return;
        Report stall = report(Cause::Stalled);
        stall.ms = kStalledMs;
        stall.number = dropped;
        emit warned(stall);
    }

signals:
    void readyRead();
    void opened();
    void openFailed(const qpv::Report& report);
    // The open line failed under us and is closed.
    void lost(const qpv::Report& report);
    // The open line works, but the operator should know something of it: it may not run as the
    // settings ask, it takes nothing, its device server breaks the protocol.
    void warned(const qpv::Report& report);

private:
    int m_port;
    QString m_device;
};

} // namespace qpv
