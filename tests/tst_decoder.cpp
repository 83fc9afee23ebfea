#include "exchange/decoder.h"
#include "exchange/echo.h"
#include "testbytes.h"

#include <QTest>

using namespace qpv;

namespace {

// The STATUS text after `reply` arrives in answer to the command `query` (empty prefix).
QByteArray statusAfter(const QByteArray& query, const QByteArray& reply)
{
    const std::string frame = frameCommand("", view(query));
    return statusOf(decodeReply("", frame, renderEcho(view(reply))));
}

const QByteArray unchanged("(unchanged)");

} // namespace

class TestDecoder : public QObject {
    Q_OBJECT

private slots:
    void decoderChoice_data();
    void decoderChoice();
    void codeTables_data();
    void codeTables();
    void lampModeTable_data();
    void lampModeTable();
    void textDecoders_data();
    void textDecoders();
    void pressure_data();
    void pressure();
    void replyInPieces();
};

void TestDecoder::decoderChoice_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("txCommand");
    QTest::addColumn<QByteArray>("status");

    // The reply "1" CR answers every query here; what the STATUS line shows tells which
    // decoder ran.
    QTest::newRow("PJ-Status") << QByteArray() << QByteArray("TABN   1\r") << QByteArray(" Temp High");
    QTest::newRow("LAMP-Status") << QByteArray() << QByteArray("TLPS   1\r") << QByteArray(" ON");
    QTest::newRow("POWER-Status") << QByteArray() << QByteArray("POWR????\r") << QByteArray(" ON");
    QTest::newRow("LAMP-TIME") << QByteArray() << QByteArray("TLTT   1\r")
                               << QByteArray(" 1 CR  Hour Use");
    QTest::newRow("CR9") << QByteArray() << QByteArray("CR9\r") << QByteArray(" 1 CR ");
    QTest::newRow("CR PRESSURE") << QByteArray() << QByteArray("CR PRESSURE\r")
                                 << QByteArray("107 hPa");
    QTest::newRow("CR6") << QByteArray() << QByteArray("CR6\r")
                         << QByteArray("  S1= 1 CR  C  ,   S2=  C");
    QTest::newRow("typed cr4 is not CR4") << QByteArray() << QByteArray("cr4\r") << unchanged;
    QTest::newRow("one blank is not three") << QByteArray() << QByteArray("TABN 1\r") << unchanged;
    QTest::newRow("frame without CR") << QByteArray() << QByteArray("TABN   1") << unchanged;
    QTest::newRow("frame with LF after CR") << QByteArray() << QByteArray("TABN   1\r\n")
                                            << unchanged;
    QTest::newRow("volume has no decoder") << QByteArray() << QByteArray("VOLA  40\r") << unchanged;
    QTest::newRow("nothing sent yet") << QByteArray() << QByteArray() << unchanged;
    QTest::newRow("prefix is part of the frame")
        << QByteArray("@") << QByteArray("@POWR????\r") << QByteArray(" ON");
    QTest::newRow("frame without the prefix")
        << QByteArray("@") << QByteArray("POWR????\r") << unchanged;
}

void TestDecoder::decoderChoice()
{
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, txCommand);
    QFETCH(QByteArray, status);
    QCOMPARE(statusOf(decodeReply(view(prefix), view(txCommand), renderEcho("1\r"))), status);
}

void TestDecoder::codeTables_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("status");

    const struct {
        const char* query;
        const char* reply;
        QByteArray status;
    } rows[] = {
        {"TABN   1", "00\r", " Normal"},
        {"TABN   1", "1\r", " Temp High"},
        {"TABN   1", "2\r", " Fan Err"},
        {"TABN   1", "84\r", " Lamp Life 5% or less"},
        {"TABN   1", "80\r", " Stand by"},
        {"TABN   1", "40\r", " Count down"},
        {"TABN   1", "20\r", " Cooling down"},
        {"TABN   1", "10\r", " Power Fail"},
        {"TABN   1", "08\r", " Temperature Warning(Power ON)"},
        {"TABN   1", "02\r", " NO Key input "},
        {"TABN   1", "04\r", " Lamp OFF by PWR Management"},
        {"TABN   1", "28\r", " Temperature Warning & cooling down"},
        {"TABN   1", "24\r", " Lamp OFF & Tempereture Warning by PWR Management"},
        {"TABN   1", "88\r", " Temperature Warning and recoverd"},
        {"TABN   1", "21\r", " Cooling down (All Lamp FAIL)"},
        {"TABN   1", "81\r", " Cooling down & sutandby (All Lamp FAIL)"},
        {"TABN   1", "A0\r", unchanged},
        {"TABN   1", "16\r", " Temp High"}, // the "16" row can never match an echo
        {"TABN   1", "32\r", unchanged},
        {"TABN   1", "64\r", unchanged},
        {"TABN   1", "", unchanged},
        {"TLPS   1", "0", " OFF"},
        {"TLPS   1", "1", " ON"},
        {"TLPS   1", "2", " Retry"},
        {"TLPS   1", "3", " Waiting"},
        {"TLPS   1", "4", " Lamp Error"},
        {"TLPS   1", "5", unchanged},
        {"POWR????", "0\r", " Standby"},
        {"POWR????", "1\r", " ON"},
        {"POWR????", "2\r", unchanged},
        {"CR4", "11", " Normally"},
        {"CR4", "10", " Top/Bottom reversal"},
        {"CR4", "01", " Left/Right reversal"},
        {"CR4", "00", " Top/Bottom , Left/Right reversal"},
        {"CR4", "1\r", unchanged},
        {"CRA", "00", " Video & Audio mute OFF"},
        {"CRA", "01", " Video mute ON"},
        {"CRA", "02", " Audio mute ON"},
        {"CRA", "03", " Video & Audio mute ON"},
        {"CRA", "80", " No signal"},
        {"CRA", "FF", " Stand by"},
        {"CRA", "ff", unchanged},
        {"CR7", "1A", " No2,4 ON  : 2 Lamp mode(1,4)"},
        {"CR7", "30", unchanged},
        {"CR7", "0a", unchanged},
        {"CR7", "0", unchanged},
    };
    for (const auto& row : rows) {
        QTest::addRow("%s reply %s", row.query, QByteArray(row.reply).toPercentEncoding().data())
            << QByteArray(row.query) << QByteArray(row.reply) << row.status;
    }
}

void TestDecoder::codeTables()
{
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, status);
    QCOMPARE(statusAfter(query, reply), status);
}

void TestDecoder::lampModeTable_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("status");

    const char* const rows[][2] = {
        {"00", " All OFF : 4 Lamp mode"},
        {"01", " No1 ON  : 4 Lamp mode"},
        {"02", " No2 ON  : 4 Lamp mode"},
        {"04", " No3 ON  : 4 Lamp mode"},
        {"08", " No4 ON  : 4 Lamp mode"},
        {"03", " No1,2 ON  : 4 Lamp mode"},
        {"05", " No1,3 ON  : 4 Lamp mode"},
        {"09", " No1,4 ON  : 4 Lamp mode"},
        {"06", " No2,3 ON  : 4 Lamp mode"},
        {"0A", " No2,4 ON  : 4 Lamp mode"},
        {"0C", " No3,4 ON  : 4 Lamp mode"},
        {"07", " No1,2,3 ON  : 4 Lamp mode"},
        {"0B", " No1,2,4 ON  : 4 Lamp mode"},
        {"0D", " No1,3,4 ON  : 4 Lamp mode"},
        {"0E", " No2,3,4 ON  : 4 Lamp mode"},
        {"0F", " All ON  : 4 Lamp mode"},
        {"10", " All OFF : 2 Lamp mode(1,4)"},
        {"11", " No1 ON  : 2 Lamp mode(1,4)"},
        {"12", " No2 ON  : 2 Lamp mode(1,4)"},
        {"14", " No3 ON  : 2 Lamp mode(1,4)"},
        {"18", " No4 ON  : 2 Lamp mode(1,4)"},
        {"13", " No1,2 ON  : 2 Lamp mode(1,4)"},
        {"15", " No1,3 ON  : 2 Lamp mode(1,4)"},
        {"19", " No1,4 ON  : 2 Lamp mode(1,4)"},
        {"16", " No2,3 ON  : 2 Lamp mode(1,4)"},
        {"1A", " No2,4 ON  : 2 Lamp mode(1,4)"},
        {"1C", " No3,4 ON  : 2 Lamp mode(1,4)"},
        {"17", " No1,2,3 ON  : 2 Lamp mode(1,4)"},
        {"1B", " No1,2,4 ON  : 2 Lamp mode(1,4)"},
        {"1D", " No1,3,4 ON  : 2 Lamp mode(1,4)"},
        {"1E", " No2,3,4 ON  : 2 Lamp mode(1,4)"},
        {"1F", " All ON  : 2 Lamp mode(1,4)"},
        {"20", " All OFF : 2 Lamp mode(2,3)"},
        {"21", " No1 ON  : 2 Lamp mode(2,3)"},
        {"22", " No2 ON  : 2 Lamp mode(2,3)"},
        {"24", " No3 ON  : 2 Lamp mode(2,3)"},
        {"28", " No4 ON  : 2 Lamp mode(2,3)"},
        {"23", " No1,2 ON  : 2 Lamp mode(2,3)"},
        {"25", " No1,3 ON  : 2 Lamp mode(2,3)"},
        {"29", " No1,4 ON  : 2 Lamp mode(2,3)"},
        {"26", " No2,3 ON  : 2 Lamp mode(2,3)"},
        {"2A", " No2,4 ON  : 2 Lamp mode(2,3)"},
        {"2C", " No3,4 ON  : 2 Lamp mode(2,3)"},
        {"27", " No1,2,3 ON  : 2 Lamp mode(2,3)"},
        {"2B", " No1,2,4 ON  : 2 Lamp mode(2,3)"},
        {"2D", " No1,3,4 ON  : 2 Lamp mode(2,3)"},
        {"2E", " No2,3,4 ON  : 2 Lamp mode(2,3)"},
        {"2F", " All ON  : 2 Lamp mode(2,3)"},
    };
    static_assert(std::size(rows) == 48);
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QByteArray(row[0]) + '\r' << QByteArray(row[1]);
}

void TestDecoder::lampModeTable()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, status);
    QCOMPARE(statusAfter("CR7", reply), status);
}

void TestDecoder::textDecoders_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("status");

    QTest::newRow("lamp hours, four counters")
        << QByteArray("TLTT   1") << QByteArray("0123 0456 0789 1011\r")
        << QByteArray(" 0 1 2 3   0 4 5 6   0 7 8 9   1 0 1 1 Hour Use");
    QTest::newRow("lamp hours, short reply keeps its CR")
        << QByteArray("TLTT   1") << QByteArray("12\r") << QByteArray(" 1 2 CR  Hour Use");
    QTest::newRow("lamp hours, nothing but the blank")
        << QByteArray("TLTT   1") << QByteArray() << QByteArray("  Hour Use");
    QTest::newRow("temperatures")
        << QByteArray("CR6") << QByteArray("+32.5 +40.1 +28.0\r")
        << QByteArray("  S1= + 3 2 . 5 C  ,   S2=  4 0 . 1 C");
    QTest::newRow("temperatures, short reply")
        << QByteArray("CR6") << QByteArray("5\r") << QByteArray("  S1= 5 CR  C  ,   S2=  C");
    QTest::newRow("temperatures, echo of exactly 15 characters")
        << QByteArray("CR6") << QByteArray("1234567") << QByteArray("  S1= 1 2 3 4 5 C  ,   S2=   C");
    QTest::newRow("echo copy") << QByteArray("CR9") << QByteArray("OK\r") << QByteArray(" O K CR ");
    QTest::newRow("echo copy of control characters")
        << QByteArray("CR9") << QByteArray("\x06\x14" "1\xff") << QByteArray(" ACK &1 ? ");
}

void TestDecoder::textDecoders()
{
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, status);
    QCOMPARE(statusAfter(query, reply), status);
}

void TestDecoder::pressure_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("status");

    QTest::newRow("512") << QByteArray("512\r") << QByteArray("650 hPa");
    QTest::newRow("0") << QByteArray("0\r") << QByteArray("106 hPa");
    QTest::newRow("no number reads as 0") << QByteArray("ERR\r") << QByteArray("106 hPa");
    QTest::newRow("empty reply") << QByteArray() << QByteArray("106 hPa");
    QTest::newRow("1023") << QByteArray("1023\r") << QByteArray("1194 hPa");
    QTest::newRow("100") << QByteArray("100\r") << QByteArray("212 hPa");
    QTest::newRow("513") << QByteArray("513\r") << QByteArray("651 hPa");
    QTest::newRow("reading 512.5 rounds to even 512") << QByteArray("512.5\r") << QByteArray("650 hPa");
    QTest::newRow("reading 512.6 rounds to 513") << QByteArray("512.6\r") << QByteArray("651 hPa");
    QTest::newRow("negative reading") << QByteArray("-1\r") << QByteArray("104 hPa");
    QTest::newRow("hexadecimal reading") << QByteArray("&H200") << QByteArray("650 hPa");
    // The echo's "CR" continues a hexadecimal number: &H200C is out of range.
    QTest::newRow("hexadecimal reading before CR") << QByteArray("&H200\r") << unchanged;
    QTest::newRow("largest reading") << QByteArray("6553\r") << QByteArray("7077 hPa");
    QTest::newRow("most negative reading") << QByteArray("-6553\r") << QByteArray("-6865 hPa");
    QTest::newRow("reading times 5 overflows") << QByteArray("6554\r") << unchanged;
    QTest::newRow("negative product overflows") << QByteArray("-6554\r") << unchanged;
    QTest::newRow("reading overflows") << QByteArray("40000\r") << unchanged;
    QTest::newRow("&HFFFF") << QByteArray("&HFFFF\r") << unchanged;
    QTest::newRow("1E9") << QByteArray("1E9\r") << unchanged;
    QTest::newRow("1E999") << QByteArray("1E999\r") << unchanged;
}

void TestDecoder::pressure()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, status);
    QCOMPARE(statusAfter("CR PRESSURE", reply), status);
}

void TestDecoder::replyInPieces()
{
    // Each piece is decoded together with everything received before it.
    QCOMPARE(statusAfter("TABN   1", "8"), QByteArray(" Lamp Life 5% or less"));
    QCOMPARE(statusAfter("TABN   1", "80"), QByteArray(" Stand by"));
    QCOMPARE(statusAfter("CR PRESSURE", "5"), QByteArray("111 hPa"));
    QCOMPARE(statusAfter("CR PRESSURE", "51"), QByteArray("160 hPa"));
    QCOMPARE(statusAfter("CR PRESSURE", "512\r"), QByteArray("650 hPa"));

    const auto update = decodeReply("", "CR PRESSURE\r", renderEcho("512\r"));
    QVERIFY(update && update->pressureValue);
    QCOMPARE(int{*update->pressureValue}, 650);
}

QTEST_APPLESS_MAIN(TestDecoder)
#include "tst_decoder.moc"
