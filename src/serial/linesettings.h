#pragma once

#include <QSerialPort>
#include <QString>

#include <optional>

namespace qpv {

// Line settings as the serial control takes them: "baud,parity,data bits,stop bits",
// for example "9600,N,8,1". Parity is one of N, E, O, M, S; data bits 5 to 8; stop bits
// 1, 1.5 or 2.
struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

struct ParsedSettings {
    std::optional<LineSettings> settings;
    QString error; // why the text was refused, when settings is empty
};

// Parses strictly: four comma-separated fields, nothing missing, nothing extra, no blanks.
ParsedSettings parseLineSettings(const QString& text);

} // namespace qpv
