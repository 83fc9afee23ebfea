// qpv-screenshots: pictures of the panel in each window mode, for the README.
//   xvfb-run build/tools/qpv-screenshots docs
// Runs the real window on the simulated projector, switches the modes as an operator does
// (Ctrl+J, double-click on the logo, the data-display toggle) and saves each as PNG.

#include "session/exchangesession.h"
#include "panel/form1.h"
#include "sim/simulator.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: qpv-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    qpv::sim::Simulator simulator;
    QString error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "qpv-screenshots: %s\n", qPrintable(error));
        return 1;
    }
    qpv::PortMap ports;
    ports.setDevice(1, simulator.devicePath());
    qpv::ExchangeSession session(ports);
    qpv::Form1 form(session);
    form.Form_Load();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        std::fprintf(stderr, "qpv-screenshots: the window was not shown\n");

    // Each picture 700 ms after its command: the reply is in, the watchdog has emptied the
    // buffer for the next one, and the lines are not yet blanked (at 1000 ms).
    const auto save = [&](const char* name) {
        QTest::qWait(700);
        const QString path = out.filePath(QLatin1String(name));
        if (!form.grab().save(path))
            std::fprintf(stderr, "qpv-screenshots: cannot write %s\n", qPrintable(path));
    };

    save("panel-compact.png");
    QTest::keyClick(form.windowHandle(), Qt::Key_J, Qt::ControlModifier);
    session.sendCommand("TABN   1");
    save("panel-extended.png");
    QTest::mouseDClick(form.findChild<QWidget*>(QStringLiteral("Image1")), Qt::LeftButton);
    form.findChild<QWidget*>(QStringLiteral("Command33"))->setFocus();
    QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Command33")), Qt::LeftButton);
    session.sendCommand("CR7");
    save("panel.png");
    QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Command34")), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Command34")), Qt::LeftButton);
    session.sendCommand("POWR????");
    save("panel-data.png");
    return 0;
}
