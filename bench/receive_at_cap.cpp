// What one receive costs when the receive buffer sits at its cap: the RXD line shows the
// echo of 32767 characters, the decoders run on it, and the window repaints. Compared with
// a stock QLabel given the same echo, laid out and painted.

#include "exchange/echo.h"
#include "panel/form1.h"
#include "serial/portmap.h"
#include "sim/simulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>

#include <cstdio>
#include <string>

namespace {

template <typename F> double meanMicroseconds(int rounds, F&& step)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < rounds; ++i)
        step(i);
    return static_cast<double>(clock.nsecsElapsed()) / 1000.0 / rounds;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    qpv::sim::Simulator projector;
    if (!projector.start(nullptr))
        return 1;
    qpv::PortMap ports;
    ports.setDevice(1, projector.devicePath());
    qpv::Form1 form(ports);
    form.Form_Load();
    form.show();
    form.sendCommand("TABN   1");

    // Two buffers at the cap that differ, so that every receive really changes the line.
    std::string buffers[2] = {std::string(qpv::kTextCap, '8'), std::string(qpv::kTextCap, '8')};
    buffers[1].back() = '0';

    QImage canvas(form.size(), QImage::Format_ARGB32_Premultiplied);
    QWidget* rxd = form.findChild<QWidget*>(QStringLiteral("Label12"));
    QWidget* status = form.findChild<QWidget*>(QStringLiteral("Label22"));
    const int rounds = 200;
    const double panel = meanMicroseconds(rounds, [&](int i) {
        form.Hyouji(buffers[i % 2], 2);
        rxd->render(&canvas); // what a receive repaints: the RXD and STATUS lines
        status->render(&canvas);
    });

    QLabel label;
    label.resize(374, 20);
    label.show();
    const QString echoes[2] = {QString::fromStdString(qpv::renderEcho(buffers[0])),
                               QString::fromStdString(qpv::renderEcho(buffers[1]))};
    const double naive = meanMicroseconds(20, [&](int i) {
        label.setText(echoes[i % 2]);
        (void)label.sizeHint();
        label.render(&canvas);
    });

    std::printf("receive at the %zu-character cap (render, decode, paint): %.1f us\n",
                qpv::kTextCap, panel);
    std::printf("stock QLabel with the same echo (layout, paint):         %.1f us\n", naive);
    std::printf("ratio: %.0f times faster\n", naive / panel);
    return 0;
}
