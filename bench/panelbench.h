#pragma once

// What the parts of bench_panel share: the table of figures, the projector's end of the line,
// the real window on it, and each part's entry point (one file each).

#include "session/exchangesession.h"
#include "panel/displayline.h"
#include "panel/form1.h"
#include "support.h"

#include <QPushButton>
#include <QString>

#include <chrono>
#include <memory>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

constexpr double kCharacterAt115200Us = 1e6 * 10 / 115200; // 86.8 µs: start, 8 data, stop bit
constexpr double kCharactersPerSecond = 115200 / 10.0;     // 11,520

// The table: one row per figure, printed at the end of the run.
void addRow(QString figure, QString measured, QString floor, QString ratio, QString goal, bool met);
void printTable();
bool allMet();

QString us(double value);
double percentile(std::vector<double> samples, double p);
double microsecondsSince(Clock::time_point start);
QString through(bool network); // how a figure's name says it went through ser2net

// The projector's end of the line: a pseudo-terminal, on its own or behind ser2net (rfc2217://).
struct Line {
    explicit Line(bool network)
    {
        if (network)
            server = std::make_unique<DeviceServer>(true, &pty);
    }
    QString device() const { return server ? server->url() : pty.path(); }
    int masterFd() const { return pty.masterFd(); }
    QByteArray read(qsizetype count, std::chrono::milliseconds timeout)
    {
        return pty.read(count, timeout);
    }
    void write(const QByteArray& bytes) { pty.write(bytes); }
    PtyPair pty;
    std::unique_ptr<DeviceServer> server;
};

// The real window and its exchange session, loaded and shown, the traffic display on screen
// unless it stays compact.
struct Panel {
    // On `line`, back once the port is open and, through ser2net, a byte has come through.
    explicit Panel(Line& line, bool compact = false);
    // COM1 on `device`, back at once: the port may still be opening.
    explicit Panel(const QString& device, bool compact = false);
    QPushButton* button(const char* name) const
    {
        return form->findChild<QPushButton*>(QLatin1String(name));
    }
    const qpv::DisplayLine* line(const char* name) const
    {
        return form->findChild<qpv::DisplayLine*>(QLatin1String(name));
    }
    std::unique_ptr<qpv::ExchangeSession> session;
    std::unique_ptr<qpv::Form1> form;
};

struct Percentiles {
    double p50 = 0;
    double p99 = 0;
};

// A figure through ser2net beside the same figure on a local pseudo-terminal, in the same run.
void addNetworkRows(const QString& figure, const Percentiles& local, const Percentiles& network,
                    double goalUs);

// The parts of the run; each adds its rows to the table.
void clickToFirstByte(int clicks);                       // latency.cpp
void bytesToRxdLine(int writes);                         // latency.cpp
void microFigures(const QString& microPath, bool quick); // figures.cpp
void startUp(const QString& childPath, int runs);        // figures.cpp
void sustainedStream(std::chrono::seconds duration);     // streams.cpp
void clicksDuringStream(std::chrono::seconds duration);  // streams.cpp
void paintingOnStreams(std::chrono::seconds duration);   // painting.cpp
void windowStalls();                                     // stalls.cpp
void scriptExchange(int runs);                           // script.cpp

} // namespace bench
