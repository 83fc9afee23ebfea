// Opens COM1 on the given device and prints the failure report, if any. The hardening test
// runs it as an unprivileged user to see the permission report an operator would see.

#include "serial/mscomm.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    qpv::PortMap ports;
    ports.setDevice(1, QString::fromLocal8Bit(argv[1]));
    qpv::MSComm comm(ports);
    if (comm.setPortOpen(true)) {
        std::printf("opened\n");
        return 0;
    }
    std::printf("%s\n", comm.errorText().toUtf8().constData());
    return 1;
}
