#pragma once

#include "sim/projector.h"

#include <QByteArray>
#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

class QSocketNotifier;

namespace qpv::sim {

enum class Fault {
    None,
    NoReply, // the projector stays silent
    Pieces,  // the reply comes in two pieces with a gap between them
    Late,    // the reply comes after a delay longer than the panel's watchdog
    Garbage, // random bytes (NUL, control characters, bytes above ASCII) instead of the reply
    Vanish,  // the device disappears instead of replying and comes back later
};

struct FaultPlan {
    Fault kind = Fault::None;
    int every = 1; // the fault hits every n-th command
    std::chrono::milliseconds pieceGap{200};
    std::chrono::milliseconds lateBy{700};
    std::chrono::milliseconds vanishFor{2000};
};

// Serves a simulated projector on a pseudo-terminal. The panel opens devicePath(), a
// symbolic link to the terminal's device that stays the same when the device vanishes and
// comes back.
class Simulator : public QObject {
    Q_OBJECT

public:
    explicit Simulator(ProjectorTiming timing = {}, QObject* parent = nullptr);
    ~Simulator() override;

    // Creates the terminal and the link; linkPath empty means a private temporary folder.
    bool start(QString* error, const QString& linkPath = {});

    QString devicePath() const { return m_linkPath; }
    bool present() const { return m_master >= 0; }

    Projector& projector() { return m_projector; }
    void setFaults(const FaultPlan& plan) { m_plan = plan; }

    // The device disappears (the panel's open port fails); with a positive duration it comes
    // back by itself, under the same path.
    void vanish(std::chrono::milliseconds duration = {});
    bool comeBack(QString* error = nullptr);

    // Writes raw bytes to the panel, as a projector or a broken adapter might.
    void sendRaw(const QByteArray& bytes);

    int framesReceived() const { return m_framesReceived; }

signals:
    void frameReceived(const QByteArray& frame);

private:
    bool openTerminal(QString* error);
    void closeTerminal();
    void onReadable();
    void handleFrame(const QByteArray& frame);
    void sendLater(const QByteArray& bytes, std::chrono::milliseconds delay);
    void flushOutput();

    Projector m_projector;
    FaultPlan m_plan;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_linkPath;
    int m_master = -1;
    int m_slaveKeepAlive = -1; // keeps the terminal from hanging up while the panel is away
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_input;
    QByteArray m_output;
    int m_generation = 0; // replies scheduled for a terminal that has since vanished are dropped
    int m_framesReceived = 0;
    QRandomGenerator m_random{7100};
};

const char* faultName(Fault fault);
bool parseFault(const QString& name, Fault* fault);

} // namespace qpv::sim
