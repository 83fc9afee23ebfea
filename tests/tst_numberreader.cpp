#include "exchange/numberreader.h"
#include "testbytes.h"

#include <QTest>

#include <limits>

using namespace qpv;

class TestNumberReader : public QObject {
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void outOfRangeReadings();
    void roundingHalvesToEven_data();
    void roundingHalvesToEven();
    void int16Range_data();
    void int16Range();
};

void TestNumberReader::reading_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("echo of 512 CR") << QByteArray(" 5 1 2 CR ") << 512.0;
    QTest::newRow("empty") << QByteArray("") << 0.0;
    QTest::newRow("no digit") << QByteArray(" C R ") << 0.0;
    QTest::newRow("sign alone") << QByteArray("-") << 0.0;
    QTest::newRow("negative") << QByteArray("-12") << -12.0;
    QTest::newRow("plus sign") << QByteArray("+7") << 7.0;
    QTest::newRow("blanks between sign and digits") << QByteArray(" - 4 2 ") << -42.0;
    QTest::newRow("tabs and line feeds skipped") << QByteArray("1\t2\n3") << 123.0;
    QTest::newRow("carriage return stops") << QByteArray("1\r2") << 1.0;
    QTest::newRow("decimal point") << QByteArray("1.5") << 1.5;
    QTest::newRow("only one decimal point") << QByteArray("1.2.3") << 1.2;
    QTest::newRow("leading point") << QByteArray(".5") << 0.5;
    QTest::newRow("exponent E") << QByteArray("1E3") << 1000.0;
    QTest::newRow("exponent D") << QByteArray("2D2") << 200.0;
    QTest::newRow("negative exponent") << QByteArray("25E-2") << 0.25;
    QTest::newRow("exponent with blanks") << QByteArray(" 1 E + 2 ") << 100.0;
    QTest::newRow("exponent letter without digits") << QByteArray("7E") << 7.0;
    QTest::newRow("lower-case e is no exponent") << QByteArray("7e2") << 7.0;
    QTest::newRow("stops at a letter") << QByteArray("12abc") << 12.0;
    QTest::newRow("hexadecimal") << QByteArray("&HFF") << 255.0;
    QTest::newRow("hexadecimal in an echo") << QByteArray(" & H 1 A ") << 26.0;
    QTest::newRow("the C of a rendered CR is a hex digit") << QByteArray(" & H 1 A CR ") << 428.0;
    QTest::newRow("hexadecimal is not sign-wrapped") << QByteArray("&HFFFF") << 65535.0;
    QTest::newRow("octal") << QByteArray("&O17") << 15.0;
    QTest::newRow("octal stops at 8") << QByteArray("&O78") << 7.0;
    QTest::newRow("ampersand without H or O") << QByteArray("&12") << 0.0;
    QTest::newRow("H without digits") << QByteArray("&H") << 0.0;
    QTest::newRow("too small is zero") << QByteArray("1E-999") << 0.0;
    QTest::newRow("many zeros after the point") << QByteArray("0." + QByteArray(400, '0') + "1")
                                                << 0.0;
}

void TestNumberReader::reading()
{
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    QCOMPARE(readNumber(view(text)), value);
}

void TestNumberReader::outOfRangeReadings()
{
    const double inf = std::numeric_limits<double>::infinity();
    QCOMPARE(readNumber("1E999"), inf);
    QCOMPARE(readNumber("-1D999"), -inf);
    QCOMPARE(readNumber("1E99999999999999999999"), inf);
    QCOMPARE(readNumber(std::string(400, '9')), inf);
    QCOMPARE(readNumber("&H" + std::string(400, 'F')), inf);
}

void TestNumberReader::roundingHalvesToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");

    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("-0.5") << -0.5 << 0.0;
    QTest::newRow("-1.5") << -1.5 << -2.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("2.4") << 2.4 << 2.0;
    QTest::newRow("2.6") << 2.6 << 3.0;
    QTest::newRow("-2.6") << -2.6 << -3.0;
    QTest::newRow("105.56") << 105.5555 << 106.0;
}

void TestNumberReader::roundingHalvesToEven()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(roundHalfEven(value), rounded);
}

void TestNumberReader::int16Range_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("rounded");

    QTest::newRow("32767.4") << 32767.4 << true << 32767;
    QTest::newRow("32767.5 rounds to 32768") << 32767.5 << false << 0;
    QTest::newRow("-32768.5 rounds to -32768") << -32768.5 << true << -32768;
    QTest::newRow("-32768.6") << -32768.6 << false << 0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << false << 0;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << false << 0;
}

void TestNumberReader::int16Range()
{
    QFETCH(double, value);
    QFETCH(bool, fits);
    QFETCH(int, rounded);
    const std::optional<std::int16_t> result = roundToInt16(value);
    QCOMPARE(result.has_value(), fits);
    if (fits)
        QCOMPARE(int{*result}, rounded);
}

QTEST_APPLESS_MAIN(TestNumberReader)
#include "tst_numberreader.moc"
