// SPDX-License-Identifier: MIT
// The executable: checks for a display, then hands over to the start-up module.
#include "app/application.h"
#include "app/modmain.h"

#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>

namespace {
// What the platform said while it started; shown only if it started after all.
QStringList g_startupWarnings;

// While the platform starts, a fatal message (no display to connect to) ends the
// program with one line and status 1 instead of an abort and a core dump.
void startupMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        std::fprintf(stderr, "pegmarch: needs a graphical display (cannot open display %s)\n",
                     display.isEmpty() ? "none" : display.constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (type != QtDebugMsg)
        g_startupWarnings << message;
}
} // namespace

int main(int argc, char **argv)
{
    // Without a display Qt would abort; say what is missing instead.
    bool platformGiven = false;
    for (int i = 1; i < argc; ++i)
        platformGiven = platformGiven || std::string_view(argv[i]) == "-platform";
    if (!platformGiven && !Application::displayAvailable()) {
        std::fputs("pegmarch: needs a graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", stderr);
        return 1;
    }

    const QtMessageHandler previous = qInstallMessageHandler(startupMessages);
    Application app(argc, argv);
    qInstallMessageHandler(previous);
    for (const QString &warning : g_startupWarnings)
        std::fprintf(stderr, "%s\n", qPrintable(warning));
    try {
        Main();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "pegmarch: cannot start: %s\n", e.what());
        return 1;
    }
    if (!gobjGame())
        return 0; // another instance runs; it has been brought to the front
    return app.exec();
}
