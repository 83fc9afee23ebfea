#include "app/quitonsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(g_signalPipe[1], &byte, 1);
}

} // namespace

void quitOnSignals(QCoreApplication& app, std::function<void()> end)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    if (!end)
        end = &QCoreApplication::quit;
    QObject::connect(notifier, &QSocketNotifier::activated, &app, std::move(end));
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, onSignal);
}
