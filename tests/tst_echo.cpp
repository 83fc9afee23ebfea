#include "exchange/echo.h"
#include "testbytes.h"

#include <QTest>

using namespace qpv;

class TestEcho : public QObject {
    Q_OBJECT

private slots:
    void rendering_data();
    void rendering();
    void everyCodeAbovePlainRendersAsQuestionMark();
    void longTextRendersItsNewestCharacters();
    void framing_data();
    void framing();
    void receiveBufferKeepsNewestCharacters();
};

void TestEcho::rendering_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("echo");

    QTest::newRow("empty text is one blank") << QByteArray("") << QByteArray(" ");
    QTest::newRow("00 CR") << QByteArray("00\r") << QByteArray(" 0 0 CR ");
    QTest::newRow("blank renders as two blanks") << QByteArray("A B") << QByteArray(" A   B ");
    QTest::newRow("z is the last plain character") << QByteArray("z") << QByteArray(" z ");
    QTest::newRow("{ is beyond it") << QByteArray("{") << QByteArray(" ? ");
    QTest::newRow("~ and 127") << QByteArray("~\x7f") << QByteArray(" ? ? ");
    QTest::newRow("char 20 has no blank after it") << QByteArray("\x14" "1") << QByteArray(" &1 ");
    QTest::newRow("ACK CR") << QByteArray("\x06\r") << QByteArray(" ACK CR ");
    QTest::newRow("LF") << QByteArray("\n") << QByteArray(" LF ");
    QTest::newRow("tab is another control") << QByteArray("\t") << QByteArray(" ? ");
    QTest::newRow("NUL") << QByteArray("\0", 1) << QByteArray(" ? ");
    QTest::newRow("bytes above ASCII") << QByteArray("\x80\xff") << QByteArray(" ? ? ");
    QTest::newRow("case is kept") << QByteArray("aZ") << QByteArray(" a Z ");
    QTest::newRow("markup is text") << QByteArray("<b>") << QByteArray(" < b > ");
    QTest::newRow("POWR   1 frame")
        << QByteArray("POWR   1\r") << QByteArray(" P O W R       1 CR ");
}

void TestEcho::rendering()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, echo);
    QCOMPARE(bytes(renderEcho(view(text))), echo);
}

void TestEcho::everyCodeAbovePlainRendersAsQuestionMark()
{
    for (int code = 123; code < 256; ++code) {
        const char c = static_cast<char>(code);
        QCOMPARE(bytes(renderEcho({&c, 1})), QByteArray(" ? "));
    }
}

void TestEcho::longTextRendersItsNewestCharacters()
{
    std::string text(40000, 'a');
    text.replace(text.size() - 32767, 1, "B"); // the oldest character still shown
    text.back() = 'C';
    const std::string echo = renderEcho(text);
    QCOMPARE(echo.size(), 1 + 2 * std::size_t{32767});
    QCOMPARE(bytes(echo.substr(0, 5)), QByteArray(" B a "));
    QCOMPARE(bytes(echo.substr(echo.size() - 4)), QByteArray("a C "));

    const std::string exact(32767, 'x');
    QCOMPARE(renderEcho(exact).size(), 1 + 2 * exact.size());
}

void TestEcho::framing_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("frame");

    QTest::newRow("POWR   1 is nine bytes")
        << QByteArray() << QByteArray("POWR   1")
        << QByteArray::fromHex("504F5752202020310D");
    QTest::newRow("sixteen-character command")
        << QByteArray() << QByteArray("CF INPUT3 ANALOG") << QByteArray("CF INPUT3 ANALOG\r");
    QTest::newRow("empty command is CR alone") << QByteArray() << QByteArray() << QByteArray("\r");
    QTest::newRow("prefix goes first") << QByteArray("@1") << QByteArray("CR4")
                                       << QByteArray("@1CR4\r");
}

void TestEcho::framing()
{
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, frame);
    QCOMPARE(bytes(frameCommand(view(prefix), view(command))), frame);
}

void TestEcho::receiveBufferKeepsNewestCharacters()
{
    EchoedText buffer;
    QCOMPARE(bytes(buffer.echo()), QByteArray(" "));
    buffer.append("80");
    buffer.append("\r");
    QCOMPARE(bytes(buffer.text()), QByteArray("80\r"));
    QCOMPARE(bytes(buffer.echo()), QByteArray(" 8 0 CR "));

    // At the cap the oldest characters leave the text and their renderings the echo,
    // whatever their widths ("ACK " is four, "&" one).
    buffer.clear();
    buffer.append("\x06\x14" + std::string(32765, 'a'));
    buffer.append("XY");
    QCOMPARE(buffer.text().size(), std::size_t{32767});
    QCOMPARE(bytes(buffer.text().substr(buffer.text().size() - 3)), QByteArray("aXY"));
    QCOMPARE(bytes(buffer.echo().substr(0, 5)), QByteArray(" a a "));
    QCOMPARE(buffer.echo(), renderEcho(buffer.text()));

    buffer.append(std::string(40000, 'b') + "Z");
    QCOMPARE(buffer.text().size(), std::size_t{32767});
    QCOMPARE(buffer.text().back(), 'Z');
    QCOMPARE(buffer.echo(), renderEcho(buffer.text()));

    buffer.clear();
    QCOMPARE(bytes(buffer.text()), QByteArray());
    QCOMPARE(bytes(buffer.echo()), QByteArray(" "));
}

QTEST_APPLESS_MAIN(TestEcho)
#include "tst_echo.moc"
