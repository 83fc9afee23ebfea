#pragma once

#include "serial/portdiscovery.h"
#include "serial/portmap.h"
#include "serial/report.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <cstdint>

namespace qpv {

// Who reads a report, which decides the advice it gives: the panel started from the desktop's
// menu (the panel's own controls and the menu's entries), the panel started from a terminal
// (its options too), or qpv-ctl in a script (its options only).
enum class Audience : std::uint8_t { Menu, Terminal, Script };

// The panel's audience: a terminal on its input or its error output, else the menu.
Audience panelAudience();

// Every sentence the programs write for a person about the line, in one place and in the
// operator's language (through Qt's translation): a report's short form for the STATUS line,
// its full text with the device and what to do, what stands behind a port, the list of ports.
class Wording {
    Q_DECLARE_TR_FUNCTIONS(Wording)

public:
    explicit Wording(Audience audience)
        : m_audience(audience)
    {
    }

    // The port and the cause, "COM1 was disconnected: the device went away."; the device is
    // left to the full text, so that a long device name never pushes the cause out of the line.
    QString brief(const Report& report) const;
    // The port, its device, the cause and what to do.
    QString full(const Report& report) const;
    // Each report's full text, a line each.
    QString full(const QList<Report>& reports) const;
    // "COM1: /dev/serial/by-id/usb-FTDI_... (FT232R USB UART)", or that no port stands behind it.
    QString describePort(int port, const PortAssignment& assignment) const;
    // What --list-ports prints: each port with its COM number, its device and node, what the
    // system says of it and whether this user may open it; then the console.
    QString listPorts(const PortSurvey& survey) const;

private:
    QString sentence(const Report& report, const QString& port) const;
    QString advice(const Report& report) const;

    Audience m_audience;
};

// Loads the operator's language as the locale names it (LANG=ja_JP.UTF-8): this program's own
// texts and Qt's. English, the source language, needs nothing.
void installTranslations(QCoreApplication& app);

} // namespace qpv
