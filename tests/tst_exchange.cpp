// The command-exchange core: echo rendering, framing, the receive buffer, the number reader
// and the reply decoders with their code tables.
#include "exchange/decoder.h"
#include "exchange/echo.h"
#include "exchange/numberreader.h"

#include <QTest>

#include <malloc.h>

using namespace qpv;

namespace {

constexpr std::size_t kCap = 32767; // the rendering counts characters in 16 bits, signed
constexpr int kNone = 99999;        // a value that does not fit 16 bits signed
const QByteArray kUnchanged = "(unchanged)";
const double kNaN = qQNaN();

// The tables below are laid out by hand, several rows to a line.
// clang-format off
// QCOMPARE prints a QByteArray in full when it differs; a standard string it cannot print.
QByteArray bytes(std::string_view s) { return {s.data(), static_cast<qsizetype>(s.size())}; }
std::string_view view(const QByteArray& b) { return {b.data(), std::size_t(b.size())}; }
QByteArray name(const QByteArray& text) { return text.left(24).toPercentEncoding(" "); }
// clang-format on

using Replies = std::initializer_list<std::pair<QByteArray, QByteArray>>;

// Replies to the command last sent and the STATUS text each leaves; {}: the line keeps its
// text. A reply arriving in pieces is written "8|0", the text after each piece likewise.
void addReplies(const QByteArray& txCommand, Replies replies, const QByteArray& prefix = "")
{
    for (const auto& [reply, status] : replies)
        QTest::newRow(name(prefix + txCommand) + " <- " + name(reply))
            << prefix << txCommand << reply << (status.isNull() ? kUnchanged : status);
}

void checkStatus()
{
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, txCommand);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, status);
    const QByteArrayList pieces = reply.split('|'), statuses = status.split('|');
    EchoedText received; // each piece is decoded with everything received before it
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        received.append(view(pieces[i]));
        const auto shown = decodeReply(view(prefix), view(txCommand), received.echo());
        QCOMPARE(shown ? bytes(*shown) : kUnchanged, statuses[i]);
    }
}

} // namespace

class TestExchange : public QObject {
    Q_OBJECT

private slots:
    void textsBeyondTheCap()
    {
        // Only the newest characters are rendered and kept, in one piece or in several; the
        // buffer emptied starts afresh.
        const std::string text = "XB" + std::string(kCap - 2, 'a') + "C"; // cap + 1
        const std::string echo = renderEcho(text);
        QCOMPARE(echo.size(), 1 + 2 * kCap);
        QCOMPARE(bytes(echo.substr(0, 5)) + bytes(echo.substr(echo.size() - 4)), " B a a C ");
        EchoedText whole, pieces;
        whole.append(text);
        pieces.append("XB"), pieces.append(std::string(kCap - 2, 'a')), pieces.append("C");
        QVERIFY(whole.echo() == echo && pieces.echo() == echo);
        pieces.clear(), pieces.append("80");
        QCOMPARE(bytes(pieces.echo()), QByteArray(" 8 0 "));
        // However long a line streams, what it holds stays bounded (here 40 MB come).
        const auto held = [] { return ::mallinfo2().uordblks + ::mallinfo2().hblkhd; };
        const std::size_t before = held();
        for (int i = 0; i < 1600; ++i)
            pieces.append(std::string(25000, 'a'));
        QVERIFY2(held() < before + 10'000'000, qPrintable(QString::number(held() - before)));
    }

    void readNumber_data()
    {
        // The value read (NaN: no number), and that value rounded (a half to even) to 16 bits
        // signed.
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        // clang-format off
        const std::tuple<QByteArray, double, int> rows[] = {
            {" 5 1 2 CR ", 512, 512}, {"", kNaN, kNone}, {" C R ", kNaN, kNone},
            {"-", kNaN, kNone}, {"+7", 7, 7},
            {" - 4 2 ", -42, -42}, {"1\t2\n3", 123, 123}, {"1\r2", 1, 1}, {"1.5", 1.5, 2},
            {"2.5", 2.5, 2}, {"0.5", 0.5, 0}, {"-0.5", -0.5, 0}, {"-2.5", -2.5, -2},
            {"2.4", 2.4, 2}, {"2.6", 2.6, 3}, {"-2.6", -2.6, -3}, {"1.2.3", 1.2, 1},
            {".5", 0.5, 0}, {"1E3", 1000, 1000}, {"2D2", 200, 200}, {"25E-2", 0.25, 0},
            {" 1 E + 2 ", 100, 100}, {"7E", 7, 7}, {"7e2", 7, 7}, {"12abc", 12, 12},
            {"&HFF", 255, 255}, {" & H 1 A CR ", 428, 428}, {"&HFFFF", 65535, kNone},
            {"&O17", 15, 15}, {"&O78", 7, 7}, {"&12", kNaN, kNone}, {"&H", kNaN, kNone}, {"1E-999", 0, 0},
            {"&Hff", 255, 255}, {"32767.4", 32767.4, 32767}, {"32767.5", 32767.5, kNone},
            {"-32768.5", -32768.5, -32768}, {"-32768.6", -32768.6, kNone},
            {"0." + QByteArray(400, '0') + "1", 0, 0}, {"1E999", qInf(), kNone},
            {"-1D999", -qInf(), kNone}, {"1E99999999999999999999", qInf(), kNone},
            {QByteArray(400, '9'), qInf(), kNone}, {"&H" + QByteArray(400, 'F'), qInf(), kNone},
        };
        // clang-format on
        for (const auto& [text, value, rounded] : rows)
            QTest::newRow(name(text)) << text << value << rounded;
    }
    void readNumber()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QFETCH(int, rounded);
        QCOMPARE(qpv::readNumber(view(text)).value_or(kNaN), value);
        const std::optional<std::int16_t> small = roundToInt16(value);
        QCOMPARE(small ? int{*small} : kNone, rounded);
    }

    void decoders_data()
    {
        for (const char* column : {"prefix", "txCommand", "reply", "status"})
            QTest::addColumn<QByteArray>(column);
        // The echo copy decoder shows the echo itself, as the RXD line does.
        // clang-format off
        addReplies("CR9\r", {
            {"", " "}, {"00\r", " 0 0 CR "}, {"A B", " A   B "}, {"z", " z "}, {"{", " ? "},
            {"~\x7f\x80\xff", " ? ? ? ? "}, {"\x14" "1", " &1 "}, {"\x14\x14", " &&"},
            {"\x06\r", " ACK CR "}, {"\n", " LF "}, {"OK\r", " O K CR "},
            {"\t\x1f\x01\x05\x07\x0e\x13\x15", " ? ? ? ? ? ? ? ? "}, {"aZ!<b>", " a Z ! < b > "},
            {"POWR   1\r", " P O W R       1 CR "}, {"\x06\x14" "1\xff", " ACK &1 ? "}});
        // clang-format on
        // The reply "1" CR answers each: the STATUS text tells which decoder ran, if any.
        // clang-format off
        const char* const rows[][3] = {
            {"", "TABN   1\r", " Temp High"}, {"", "TLPS   1\r", " ON"}, {"", "POWR????\r", " ON"},
            {"", "TLTT   1\r", " 1 CR  Hour Use"}, {"", "CR6\r", "  S1= 1 CR  C  ,   S2=  C"},
            {"", "CR9\r", " 1 CR "}, {"", "CR PRESSURE\r", "107 hPa"}, {"", "cr4\r", {}},
            {"", "TABN 1\r", {}}, {"", "TABN   1", {}}, {"", "TABN   1\n", {}},
            {"", "TABN   1\r\n", {}}, {"", "VOLA  40\r", {}}, {"", "", {}},
            {"@", "@POWR????\r", " ON"}, {"@", "POWR????\r", {}}, {"@", "#POWR????\r", {}},
        };
        // clang-format on
        for (const auto& [prefix, txCommand, status] : rows)
            addReplies(txCommand, {{"1\r", status}}, prefix);
        // clang-format off
        addReplies("TABN   1\r", {
            {"0", " Normal"}, {"00\r", " Normal"}, {"1", " Temp High"}, {"2", " Fan Err"},
            {"84", " Lamp Life 5% or less"}, {"80\r", " Stand by"}, {"40", " Count down"},
            {"20", " Cooling down"}, {"10", " Power Fail"}, {"02", " NO Key input "},
            {"08", " Temperature Warning(Power ON)"}, {"04", " Lamp OFF by PWR Management"},
            {"28", " Temperature Warning & cooling down"},
            {"24", " Lamp OFF & Tempereture Warning by PWR Management"},
            {"88", " Temperature Warning and recoverd"}, {"21", " Cooling down (All Lamp FAIL)"},
            {"81", " Cooling down & sutandby (All Lamp FAIL)"},
            {"8|0|\r", " Lamp Life 5% or less| Stand by| Stand by"}, {"A0", {}}, {"", {}},
            // The texts listed under "16", "32" and " 64" never show.
            {"16", " Temp High"}, {"32", {}}, {"64", {}}});
        addReplies("TLPS   1\r", {{"0", " OFF"}, {"1", " ON"}, {"2", " Retry"}, {"3", " Waiting"},
                                  {"4", " Lamp Error"}, {"5", {}}});
        addReplies("POWR????\r", {{"0\r", " Standby"}, {"1\r", " ON"}, {"2\r", {}}});
        addReplies("CR4\r", {{"11", " Normally"}, {"10", " Top/Bottom reversal"},
                             {"01", " Left/Right reversal"}, {"1\r", {}},
                             {"00", " Top/Bottom , Left/Right reversal"}});
        addReplies("CRA\r", {{"00", " Video & Audio mute OFF"}, {"01", " Video mute ON"},
                             {"02", " Audio mute ON"}, {"03", " Video & Audio mute ON"},
                             {"80", " No signal"}, {"FF", " Stand by"}, {"ff", {}}, {"05", {}}});
        addReplies("CR7\r", {{"30", {}}, {"0a", {}}, {"0", {}}});
        // Lamp mode: the mode digit 0, 1 or 2, then the lamp digit in the table's order.
        const char* const lamps[] = {
            "All OFF :", "No1 ON  :", "No2 ON  :", "No3 ON  :", "No4 ON  :", "No1,2 ON  :",
            "No1,3 ON  :", "No1,4 ON  :", "No2,3 ON  :", "No2,4 ON  :", "No3,4 ON  :",
            "No1,2,3 ON  :", "No1,2,4 ON  :", "No1,3,4 ON  :", "No2,3,4 ON  :", "All ON  :"};
        const char* const modes[] = {"4 Lamp mode", "2 Lamp mode(1,4)", "2 Lamp mode(2,3)"};
        // clang-format on
        for (int mode = 0; mode < 3; ++mode)
            for (int lamp = 0; lamp < 16; ++lamp) {
                const QByteArray reply = QByteArray::number(mode) + "012483596AC7BDEF"[lamp];
                const QByteArray text = " " + QByteArray(lamps[lamp]) + " " + modes[mode];
                addReplies("CR7\r", {{reply + '\r', text}});
            }
        // clang-format off
        addReplies("TLTT   1\r", {{"12\r", " 1 2 CR  Hour Use"}, {"", "  Hour Use"},
            {"0123 0456 0789 1011\r", " 0 1 2 3   0 4 5 6   0 7 8 9   1 0 1 1 Hour Use"}});
        addReplies("CR6\r", {{"+32.5 +40.1 +28.0\r", "  S1= + 3 2 . 5 C  ,   S2=  4 0 . 1 C"},
                             {"5\r", "  S1= 5 CR  C  ,   S2=  C"}, // echoes of 14 and 15:
                             {"123456\x14", "  S1= 1 2 3 4 5 C  ,   S2=  C"},
                             {"1234567", "  S1= 1 2 3 4 5 C  ,   S2=   C"}});
        addReplies("CR PRESSURE\r", {
            // A reply with no number is no reading: no pressure.
            {"512\r", "650 hPa"}, {"0\r", "106 hPa"}, {"ERR\r", {}}, {"", {}}, {" C R ", {}},
            {"1023", "1194 hPa"}, {"513", "651 hPa"}, {"-1", "104 hPa"}, {"&H200", "650 hPa"},
            {"512.5", "650 hPa"}, {"513.5", "652 hPa"}, {"-0.5", "106 hPa"}, {"-1.5", "103 hPa"},
            {"6553", "7077 hPa"}, {"-6553", "-6865 hPa"}, {"5|1|2\r", "111 hPa|160 hPa|650 hPa"},
            // Beyond 16 bits, in the reading or in the reading times 5 (&H200C): no pressure.
            {"6554", {}}, {"-6554", {}}, {"40000", {}}, {"&HFFFF", {}}, {"&H200\r", {}}});
        // clang-format on
    }
    void decoders() { checkStatus(); }
};

QTEST_APPLESS_MAIN(TestExchange)
#include "tst_exchange.moc"
