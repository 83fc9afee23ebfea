#include "serial/portdiscovery.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <utility>

namespace qpv {

namespace {

// The entries of a folder, links and device nodes alike, in the order of their names.
QFileInfoList entries(const QString& folder, const QStringList& names = {})
{
    return QDir(folder).entryInfoList(names, QDir::Files | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
}

// The first line of a small file of the kernel's, or nothing.
QString firstLine(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readLine()).trimmed()
                                          : QString();
}

// ttyS2 before ttyS10: a name's trailing number is compared as a number.
std::pair<QString, qulonglong> naturally(const QString& name)
{
    qsizetype digits = name.size();
    while (digits > 0 && name[digits - 1].isDigit())
        --digits;
    return {name.left(digits), name.mid(digits).toULongLong()};
}

} // namespace

PortSurvey comOrder(QList<FoundPort> found, const QStringList& consoles)
{
    std::stable_sort(found.begin(), found.end(), [](const FoundPort& a, const FoundPort& b) {
        return std::pair{a.kind, naturally(a.device)} < std::pair{b.kind, naturally(b.device)};
    });
    PortSurvey survey;
    for (FoundPort& port : found) {
        const bool console = consoles.contains(QFileInfo(port.node).fileName());
        (console ? survey.consoles : survey.ports).append(std::move(port));
    }
    return survey;
}

PortSurvey surveyPorts(const PortPlaces& places)
{
    QList<FoundPort> found;
    const auto add = [&](const QString& device, const QString& node, PortKind kind) {
        FoundPort port{device, node, kind, {}, {}, {}};
        // What a USB adapter calls itself is told by the USB device above its terminal.
        QDir usb(
            QFileInfo(places.sys + u'/' + QFileInfo(node).fileName() + QStringLiteral("/device"))
                .canonicalFilePath());
        for (int up = 0; up < 4 && !usb.path().isEmpty() && !usb.isRoot(); ++up, usb.cdUp()) {
            if (usb.exists(QStringLiteral("product"))) {
                port.description = firstLine(usb.filePath(QStringLiteral("product")));
                port.manufacturer = firstLine(usb.filePath(QStringLiteral("manufacturer")));
                port.serialNumber = firstLine(usb.filePath(QStringLiteral("serial")));
                break;
            }
        }
        found.append(port);
    };
    // A UART that really exists has a type other than 0; the nodes of the others are there all
    // the same.
    for (const QFileInfo& tty : QDir(places.sys).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (firstLine(tty.filePath() + QStringLiteral("/type")).toInt() != 0)
            add(places.dev + u'/' + tty.fileName(), places.dev + u'/' + tty.fileName(),
                PortKind::BuiltIn);
    }
    // A stable name is taken as it is: udev made that link for a serial adapter.
    QStringList named;
    for (const QFileInfo& link : entries(places.byId)) {
        const QString node = link.canonicalFilePath(); // empty where the link leads nowhere
        if (!node.isEmpty())
            named << node, add(link.absoluteFilePath(), node, PortKind::StableName);
    }
    for (const QFileInfo& node :
         entries(places.dev, {QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")})) {
        const QString target = node.canonicalFilePath();
        if (!target.isEmpty() && !named.contains(target))
            add(node.absoluteFilePath(), target, PortKind::AdapterNode);
    }
    return comOrder(
        found,
        firstLine(places.sys + QStringLiteral("/console/active")).split(u' ', Qt::SkipEmptyParts));
}

} // namespace qpv
