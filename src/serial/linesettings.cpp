#include "serial/linesettings.h"

#include <QStringList>

#include <algorithm>

namespace qpv {

namespace {

template <typename T> struct Choice {
    const char* text;
    T value;
};

constexpr Choice<QSerialPort::Parity> kParities[] = {
    {"N", QSerialPort::NoParity},   {"E", QSerialPort::EvenParity},  {"O", QSerialPort::OddParity},
    {"M", QSerialPort::MarkParity}, {"S", QSerialPort::SpaceParity},
};

constexpr Choice<QSerialPort::DataBits> kDataBits[] = {
    {"5", QSerialPort::Data5},
    {"6", QSerialPort::Data6},
    {"7", QSerialPort::Data7},
    {"8", QSerialPort::Data8},
};

constexpr Choice<QSerialPort::StopBits> kStopBits[] = {
    {"1", QSerialPort::OneStop},
    {"1.5", QSerialPort::OneAndHalfStop},
    {"2", QSerialPort::TwoStop},
};

template <typename T, std::size_t N>
std::optional<T> lookUp(const Choice<T> (&choices)[N], const QString& field)
{
    for (const Choice<T>& choice : choices) {
        if (field == QLatin1String(choice.text))
            return choice.value;
    }
    return std::nullopt;
}

ParsedSettings refuse(const QString& text, const QString& why)
{
    return {std::nullopt, QStringLiteral("Invalid line settings \"%1\": %2.").arg(text, why)};
}

} // namespace

ParsedSettings parseLineSettings(const QString& text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return refuse(text, QStringLiteral("expected baud,parity,data bits,stop bits"));

    LineSettings settings;

    bool ok = false;
    const QString& baud = fields[0];
    const int baudRate = baud.toInt(&ok);
    const bool allDigits = !baud.isEmpty() && std::all_of(baud.begin(), baud.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    if (!ok || !allDigits || baudRate < 50 || baudRate > 4000000)
        return refuse(text, QStringLiteral("the baud rate must be a number from 50 to 4000000"));
    settings.baudRate = baudRate;

    const auto parity = lookUp(kParities, fields[1]);
    if (!parity)
        return refuse(text, QStringLiteral("the parity must be N, E, O, M or S"));
    settings.parity = *parity;

    const auto dataBits = lookUp(kDataBits, fields[2]);
    if (!dataBits)
        return refuse(text, QStringLiteral("the data bits must be 5, 6, 7 or 8"));
    settings.dataBits = *dataBits;

    const auto stopBits = lookUp(kStopBits, fields[3]);
    if (!stopBits)
        return refuse(text, QStringLiteral("the stop bits must be 1, 1.5 or 2"));
    settings.stopBits = *stopBits;

    return {settings, {}};
}

} // namespace qpv
