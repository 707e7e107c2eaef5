// SPDX-License-Identifier: MIT
// The executable: checks for a display, then hands over to the start-up module.
#include "app/application.h"
#include "app/modmain.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>

namespace {
// While the platform starts, a fatal message (no display to connect to) ends the
// program with one line and status 1 instead of an abort and a core dump.
void startupMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "pegmarch: needs a graphical display: %s\n", qPrintable(message.simplified()));
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
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
