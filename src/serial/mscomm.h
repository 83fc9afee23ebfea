#pragma once

#include "serial/linesettings.h"
#include "serial/networkport.h"
#include "serial/portmap.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

namespace qpv {

// The serial communications control: the few members the panel uses, on a QSerialPort, or on
// a network connection when the port's device is rfc2217://HOST:PORT or socket://HOST:PORT.
// Setters that can fail return false and leave the reason in errorText(), a sentence that
// names the port, its device and the cause.
class MSComm : public QObject {
    Q_OBJECT

public:
    static constexpr int kComEvReceive = 2; // CommEvent: characters received

    explicit MSComm(PortMap ports, QObject* parent = nullptr);

    int CommPort() const { return m_commPort; }
    // Records the port number; refused while the port is open.
    bool setCommPort(int port);

    QString Settings() const { return m_settings; }
    // Applies at once to an open port; a malformed text changes nothing.
    bool setSettings(const QString& settings);

    bool PortOpen() const { return m_port.isOpen() || m_network.isOpen(); }
    bool setPortOpen(bool open);

    // Transmits the bytes in order, adding nothing, and returns at once.
    bool setOutput(const QByteArray& bytes);

    // Every character received and not yet read.
    QByteArray Input();

    int CommEvent() const { return m_commEvent; }

    // Whether a lost device (or device server) is being waited for. Any port number or open state
    // the program sets ends the wait: the operator's choice wins.
    bool reopenPending() const { return m_reopenTimer.isActive(); }
    // Waits again for the device of the closed port, as after its loss: a port choice that
    // failed must not end the wait for the port still in use.
    void awaitDevice();

    QString errorText() const { return m_errorText; }

    // "COM1 (/dev/ttyS0)": how reports name the current port.
    QString portLabel() const;
    QString device() const { return m_ports.device(m_commPort); }

signals:
    // Characters have arrived (CommEvent is kComEvReceive).
    void OnComm();
    // The open port failed under us (device unplugged) and has been closed; the text says so.
    // From then on the same device is tried again about once a second.
    void portLost(const QString& text);
    // The lost device came back and the port is open again, with the same line settings.
    void portRestored(const QString& text);
    // A device server did not set the line as the settings ask; the text says what to check.
    void settingsNotApplied(const QString& text);

private:
    bool open();
    LineSettings lineSettings() const; // as Settings reads
    void received();
    void stopWaiting();
    void tryReopen();
    void lost(const QString& cause);
    void restored();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    bool fail(const QString& text);

    PortMap m_ports;
    QSerialPort m_port;
    NetworkPort m_network;
    QTimer m_reopenTimer;
    int m_commPort = 1;
    QString m_settings = QStringLiteral("9600,N,8,1"); // always a text parseLineSettings takes
    int m_commEvent = 0;
    QString m_errorText;
};

} // namespace qpv
