// The child of the start-up figure: starts either the panel or a bare Qt Widgets window of
// the same size, waits until the window is shown and painted, prints "shown <peak RSS kB>"
// and ends. The parent times it from process start.
//   bench_startup_child panel DEVICE
//   bench_startup_child bare

#include "measure.h"
#include "panel/form1.h"
#include "session/exchangesession.h"

#include <QApplication>
#include <QWindow>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const bool panel = argc == 3 && std::strcmp(argv[1], "panel") == 0;
    if (!panel && !(argc == 2 && std::strcmp(argv[1], "bare") == 0)) {
        std::fprintf(stderr, "usage: bench_startup_child panel DEVICE | bare\n");
        return 2;
    }

    std::unique_ptr<qpv::ExchangeSession> session;
    std::unique_ptr<QWidget> window;
    if (panel) {
        qpv::PortMap ports;
        ports.setDevice(1, QString::fromLocal8Bit(argv[2]));
        session = std::make_unique<qpv::ExchangeSession>(ports);
        auto form = std::make_unique<qpv::Form1>(*session);
        form->Form_Load();
        window = std::move(form);
    } else {
        window = std::make_unique<QWidget>();
        window->resize(633, 328);
    }
    window->show();
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    window->repaint();
    std::printf("shown %ld\n", statusKilobytes("VmHWM:"));
    std::fflush(stdout);
    return 0;
}
