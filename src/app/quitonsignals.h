#pragma once

#include <functional>

class QCoreApplication;

// Ctrl+C, kill and a closed terminal (SIGINT, SIGTERM, SIGHUP) end the event loop as a normal
// end does (or run `end`, for a program that waits in a loop of its own), so that the program
// closes its port, removes the port's lock and removes what it made. The handler only writes a
// byte to a socket the event loop watches.
void quitOnSignals(QCoreApplication& app, std::function<void()> end = {});
