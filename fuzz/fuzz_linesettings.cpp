// The line-settings parser: the input as UTF-8 and as Latin-1 text, and a well-formed text
// built from the input's first bytes.
#include "fuzzcheck.h"
#include "serial/linesettings.h"

#include <QString>

#include <array>

using qpv::fuzz::check;

namespace {

struct ParityLetter {
    QSerialPort::Parity parity;
    char letter;
};

constexpr std::array<ParityLetter, 5> kParityLetters = {{
    {QSerialPort::NoParity, 'N'},
    {QSerialPort::EvenParity, 'E'},
    {QSerialPort::OddParity, 'O'},
    {QSerialPort::MarkParity, 'M'},
    {QSerialPort::SpaceParity, 'S'},
}};

constexpr std::array<QSerialPort::DataBits, 4> kDataBits = {
    QSerialPort::Data5, QSerialPort::Data6, QSerialPort::Data7, QSerialPort::Data8};

struct StopField {
    QSerialPort::StopBits stopBits;
    const char* text;
};

constexpr std::array<StopField, 3> kStopFields = {{
    {QSerialPort::OneStop, "1"},
    {QSerialPort::OneAndHalfStop, "1.5"},
    {QSerialPort::TwoStop, "2"},
}};

constexpr std::array<qint32, 8> kBaudRates = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

bool operator==(const qpv::LineSettings& a, const qpv::LineSettings& b)
{
    return a.baudRate == b.baudRate && a.parity == b.parity && a.dataBits == b.dataBits &&
           a.stopBits == b.stopBits;
}

// The settings written back in the "baud,parity,data bits,stop bits" form; empty when a
// field holds a value the form has no word for (which an accepted text must never give).
QString format(const qpv::LineSettings& settings)
{
    QString parity;
    for (const ParityLetter& p : kParityLetters) {
        if (p.parity == settings.parity)
            parity = QChar::fromLatin1(p.letter);
    }
    QString dataBits;
    for (const QSerialPort::DataBits bits : kDataBits) {
        if (bits == settings.dataBits)
            dataBits = QString::number(static_cast<int>(bits));
    }
    QString stopBits;
    for (const StopField& stop : kStopFields) {
        if (stop.stopBits == settings.stopBits)
            stopBits = QLatin1String(stop.text);
    }
    if (parity.isEmpty() || dataBits.isEmpty() || stopBits.isEmpty() || settings.baudRate <= 0)
        return {};
    return QStringLiteral("%1,%2,%3,%4")
        .arg(QString::number(settings.baudRate), parity, dataBits, stopBits);
}

void checkParse(const QString& text)
{
    const qpv::ParsedSettings parsed = qpv::parseLineSettings(text);
    check(parsed.settings.has_value() == parsed.error.isEmpty());
    if (!parsed.settings)
        return;

    // Strict: four fields, no blanks, the baud rate written as its plain digits.
    check(text.count(QLatin1Char(',')) == 3);
    check(!text.contains(QLatin1Char(' ')));
    const QString baudField = text.section(QLatin1Char(','), 0, 0);
    bool ok = false;
    check(baudField.toLongLong(&ok) == parsed.settings->baudRate && ok);

    // The same text again, and the settings written back, parse to the same settings.
    const qpv::ParsedSettings again = qpv::parseLineSettings(text);
    check(again.settings && *again.settings == *parsed.settings && again.error.isEmpty());
    const QString canonical = format(*parsed.settings);
    check(!canonical.isEmpty());
    const qpv::ParsedSettings reparsed = qpv::parseLineSettings(canonical);
    check(reparsed.settings && *reparsed.settings == *parsed.settings);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const auto length = static_cast<qsizetype>(size);
    checkParse(QString::fromUtf8(bytes, length));
    checkParse(QString::fromLatin1(bytes, length));

    // A well-formed text with a common baud rate is always accepted as written.
    if (size >= 4) {
        qpv::LineSettings expected;
        expected.baudRate = kBaudRates[data[0] % kBaudRates.size()];
        const ParityLetter& parity = kParityLetters[data[1] % kParityLetters.size()];
        expected.parity = parity.parity;
        expected.dataBits = kDataBits[data[2] % kDataBits.size()];
        const StopField& stop = kStopFields[data[3] % kStopFields.size()];
        expected.stopBits = stop.stopBits;
        const QString text = QStringLiteral("%1,%2,%3,%4")
                                 .arg(QString::number(expected.baudRate),
                                      QString(QChar::fromLatin1(parity.letter)),
                                      QString::number(static_cast<int>(expected.dataBits)),
                                      QLatin1String(stop.text));
        const qpv::ParsedSettings parsed = qpv::parseLineSettings(text);
        check(parsed.settings && *parsed.settings == expected && parsed.error.isEmpty());
    }
    return 0;
}
