// The command exchange through the main window: send, receive in pieces, the watchdog and
// the blanking, against a pseudo-terminal playing the projector.

#include "panel/displayline.h"
#include "panel/form1.h"
#include "messageboxwatcher.h"
#include "ptypair.h"
#include "serial/mscomm.h"
#include "testbytes.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace qpv;

namespace {

const QString kMissing = QStringLiteral("/nonexistent/ttyQPV9");

struct Panel {
    explicit Panel(const QString& com1)
    {
        PortMap ports;
        ports.setDevice(1, com1);
        ports.setDevice(2, kMissing);
        form = std::make_unique<Form1>(ports);
        form->Form_Load();
    }

    QByteArray line(const char* name) const
    {
        return bytes(form->findChild<DisplayLine*>(QLatin1String(name))->text());
    }
    QByteArray txd() const { return line("Label11"); }
    QByteArray rxd() const { return line("Label12"); }
    QByteArray status() const { return line("Label22"); }
    QTimer* timer(const char* name) const { return form->findChild<QTimer*>(QLatin1String(name)); }

    std::unique_ptr<Form1> form;
};

} // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    void init();
    void sendPutsTheFrameOnTheLineAndArmsTheTimers();
    void replyInTwoPieces();
    void watchdogMarksAMissingReply();
    void lateReplyAfterTheWatchdog();
    void lateReplyAfterTheBlanking();
    void charactersWithNoCommandOutstanding();
    void watchdogAfterAReplyLeavesTheRxdLine();
    void queriesInQuickSuccessionAreDecodedAlone();
    void aNewIntervalRestartsTheWatchdogAndTheSameOneDoesNot();
    void receiveBufferIsCapped();
    void displayLinesArePlainTextAndReadBackExactly();
    void sendWhileClosed();
    void deviceVanishingWhileOpen();

private:
    std::unique_ptr<PtyPair> m_pty;
};

void TestLink::init()
{
    m_pty = std::make_unique<PtyPair>();
    QVERIFY(m_pty->isValid());
}

void TestLink::sendPutsTheFrameOnTheLineAndArmsTheTimers()
{
    Panel panel(m_pty->path());
    QVERIFY(panel.form->serialControl().PortOpen());

    panel.form->sendCommand("POWR   1");
    QCOMPARE(m_pty->read(9), QByteArray::fromHex("504F5752202020310D"));
    QCOMPARE(panel.txd(), QByteArray(" P O W R       1 CR "));
    QCOMPARE(bytes(panel.form->state().TxCommand), QByteArray("POWR   1\r"));
    QCOMPARE(panel.form->state().ReplyPending, std::uint8_t{1});
    QVERIFY(panel.timer("Timer2")->isActive());
    QVERIFY(panel.timer("Timer4")->isActive());
    QCOMPARE(panel.timer("Timer2")->interval(), 500);
    QCOMPARE(panel.timer("Timer4")->interval(), 1000);
    QCOMPARE(panel.rxd(), QByteArray());
    QCOMPARE(panel.status(), QByteArray());
}

void TestLink::replyInTwoPieces()
{
    Panel panel(m_pty->path());
    panel.form->sendCommand("TABN   1");

    m_pty->write("8");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 8 "));
    QCOMPARE(panel.status(), QByteArray(" Lamp Life 5% or less"));
    QCOMPARE(panel.form->state().ReplyPending, std::uint8_t{0});

    m_pty->write("0\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 8 0 CR "));
    QCOMPARE(panel.status(), QByteArray(" Stand by"));
    QCOMPARE(bytes(panel.form->state().RxBuffer.text()), QByteArray("80\r"));
}

void TestLink::watchdogMarksAMissingReply()
{
    Panel panel(m_pty->path());
    panel.form->sendCommand("TABN   1");
    panel.form->Timer2_Timer();
    QCOMPARE(panel.rxd(), QByteArray(" X X X X"));
    QVERIFY(!panel.timer("Timer2")->isActive());
    QVERIFY(panel.timer("Timer4")->isActive());
    QCOMPARE(panel.form->state().ReplyPending, std::uint8_t{0});

    panel.form->Timer4_Timer();
    QCOMPARE(panel.txd(), QByteArray());
    QCOMPARE(panel.rxd(), QByteArray());
    QCOMPARE(panel.status(), QByteArray());
    QVERIFY(!panel.timer("Timer4")->isActive());
}

void TestLink::lateReplyAfterTheWatchdog()
{
    Panel panel(m_pty->path());
    panel.form->sendCommand("POWR????");
    panel.form->Timer2_Timer();
    QCOMPARE(panel.rxd(), QByteArray(" X X X X"));

    m_pty->write("1\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 1 CR "));
    QCOMPARE(panel.status(), QByteArray(" ON"));
}

void TestLink::lateReplyAfterTheBlanking()
{
    Panel panel(m_pty->path());
    panel.form->sendCommand("TLPS   1");
    panel.form->Timer2_Timer();
    panel.form->Timer4_Timer();

    m_pty->write("4\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 4 CR "));
    QCOMPARE(panel.status(), QByteArray(" Lamp Error"));
    QCOMPARE(panel.txd(), QByteArray());
    // Nothing is armed, so the late reply stays shown.
    QVERIFY(!panel.timer("Timer2")->isActive());
    QVERIFY(!panel.timer("Timer4")->isActive());
}

void TestLink::charactersWithNoCommandOutstanding()
{
    Panel panel(m_pty->path());
    m_pty->write("OK\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" O K CR "));
    QCOMPARE(panel.status(), QByteArray()); // nothing sent, so no decoder

    panel.form->sendCommand("CR9");
    panel.form->Timer2_Timer(); // empties the buffer; the RXD line keeps its text
    QCOMPARE(panel.rxd(), QByteArray(" X X X X"));
    m_pty->write("\x06\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" ACK CR "));
    QCOMPARE(panel.status(), QByteArray(" ACK CR "));
}

void TestLink::watchdogAfterAReplyLeavesTheRxdLine()
{
    Panel panel(m_pty->path());
    panel.form->sendCommand("VOLA  40");
    m_pty->write("\x06\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" ACK CR "));
    panel.form->Timer2_Timer();
    QCOMPARE(panel.rxd(), QByteArray(" ACK CR "));
    QCOMPARE(bytes(panel.form->state().RxBuffer.text()), QByteArray());
}

void TestLink::queriesInQuickSuccessionAreDecodedAlone()
{
    // Three queries 400 ms apart with the 500 ms watchdog: the buffer empties on the first
    // send's schedule, so the third reply is decoded alone.
    Panel panel(m_pty->path());
    QElapsedTimer clock;
    clock.start();
    const auto at = [&clock](int ms) { QTest::qWait(std::max(0, ms - int(clock.elapsed()))); };
    panel.form->sendCommand("TABN   1");
    m_pty->write("80\r");
    QTRY_COMPARE(panel.status(), QByteArray(" Stand by"));
    at(400);
    panel.form->sendCommand("TLPS   1");
    m_pty->write("1\r");
    QTRY_VERIFY(panel.rxd().endsWith(" 1 CR "));
    at(800);
    panel.form->sendCommand("POWR????");
    m_pty->write("1\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 1 CR "));
    QCOMPARE(panel.status(), QByteArray(" ON"));

    // A late character still stands in front of the next reply.
    at(1300 + 50);
    panel.form->sendCommand("TABN   1");
    QTRY_COMPARE_WITH_TIMEOUT(panel.rxd(), QByteArray(" X X X X"), 1000);
    m_pty->write("8");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 8 "));
    panel.form->sendCommand("TABN   1");
    m_pty->write("00\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 8 0 0 CR "));
    QCOMPARE(panel.status(), QByteArray(" Stand by"));
}

void TestLink::aNewIntervalRestartsTheWatchdogAndTheSameOneDoesNot()
{
    Panel panel(m_pty->path());
    QTimer* watchdog = panel.timer("Timer2");
    QTimer* blanking = panel.timer("Timer4");
    panel.form->Command95_Click(); // SEND: 2000 ms, 2500 ms
    QTest::qWait(400);
    panel.form->Command95_Click();
    QVERIFY(watchdog->remainingTime() < 1700); // runs on from the first SEND
    QVERIFY(blanking->remainingTime() > 2400); // each command's lines stay up in full
    panel.form->findChild<QPushButton*>(QStringLiteral("Command67"))->click(); // 5000 ms
    QVERIFY(watchdog->remainingTime() > 4900);
    QTest::qWait(400);
    panel.form->findChild<QPushButton*>(QStringLiteral("Command68"))->click();
    QVERIFY(watchdog->remainingTime() < 4700);
}

void TestLink::receiveBufferIsCapped()
{
    Panel panel(m_pty->path());
    QByteArray flood(40000, 'A');
    flood.back() = 'Z';
    m_pty->write(flood);
    QTRY_VERIFY(panel.rxd().endsWith("A Z "));
    QCOMPARE(panel.form->state().RxBuffer.text().size(), std::size_t{32767});
    QCOMPARE(panel.rxd().size(), 1 + 2 * 32767);
}

void TestLink::displayLinesArePlainTextAndReadBackExactly()
{
    DisplayLine line;
    line.resize(374, 20);
    const std::string markup = "<b>bold</b> &amp; <img src=x>";
    line.setText(markup);
    QCOMPARE(bytes(line.text()), bytes(markup));
    QCOMPARE(line.visibleText(), QString::fromStdString(markup));

    const std::string huge(131069, 'x');
    line.setText(huge);
    QCOMPARE(line.text().size(), huge.size());
    QVERIFY(line.visibleText().size() <= line.width());
}

void TestLink::sendWhileClosed()
{
    MessageBoxWatcher boxes;
    Panel panel(kMissing);
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(!panel.form->serialControl().PortOpen());
    panel.form->sendCommand("POWR   1");
    QCOMPARE(panel.status(), QByteArray(" COM1 (/nonexistent/ttyQPV9) is not open"));
    QCOMPARE(panel.txd(), QByteArray(" P O W R       1 CR "));
    QVERIFY(panel.timer("Timer2")->isActive());
    QVERIFY(panel.timer("Timer4")->isActive());
    // The watchdog follows as for any send.
    QTRY_COMPARE_WITH_TIMEOUT(panel.rxd(), QByteArray(" X X X X"), 2000);
}

void TestLink::deviceVanishingWhileOpen()
{
    Panel panel(m_pty->path());
    const QString path = m_pty->path();
    m_pty->hangUp();
    QTRY_VERIFY(!panel.form->serialControl().PortOpen());
    QCOMPARE(panel.status(), bytes((QStringLiteral(" COM1 (%1) was disconnected: the device went "
                                                   "away. It is reopened when it comes back, or choose the port again.")
                                        .arg(path))
                                       .toStdString()));
    panel.form->sendCommand("TABN   1"); // goes on working
    QCOMPARE(panel.status(), bytes(QStringLiteral(" COM1 (%1) is not open").arg(path).toStdString()));
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
