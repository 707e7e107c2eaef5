// SPDX-License-Identifier: MIT
// The executable: answers the command line, checks for a display, then hands over
// to the start-up module.
#include "app/application.h"
#include "app/commandline.h"
#include "app/modmain.h"
#include "app/printable.h"
#include "app/singleinstance.h"
#include "app/startupfailure.h"

#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {
// What the platform said while it started; shown only if it started after all.
QStringList g_startupWarnings;

// While the platform starts, a fatal message (no display, no such platform) ends
// the program with one line naming the cause and status 1, instead of an abort.
void startupMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "pegmarch: %s\n", qPrintable(StartupFailure(g_startupWarnings, message)));
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (type != QtDebugMsg)
        g_startupWarnings << message;
}
} // namespace

int main(int argc, char **argv)
{
    const CommandLine commandLine = ReadCommandLine(argc, argv);
    if (commandLine.answered >= 0)
        return commandLine.answered;
    // Without a display Qt would abort; say what is missing instead.
    if (!commandLine.platformNamed && !Application::displayAvailable()) {
        std::fputs("pegmarch: needs a graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", stderr);
        return 1;
    }
    SingleInstance::prepare();

    const QtMessageHandler previous = qInstallMessageHandler(startupMessages);
    Application app(argc, argv);
    qInstallMessageHandler(previous);
    // A platform without a screen (a framebuffer that is not there) would abort at the
    // window. It ends at once, as one that cannot start does: half started, it is not
    // worth taking down.
    if (!QGuiApplication::primaryScreen()) {
        std::fprintf(stderr, "pegmarch: the display platform \"%s\" has no screen to show the game on\n",
                     qPrintable(QGuiApplication::platformName()));
        std::_Exit(1);
    }
    for (const QString &warning : g_startupWarnings)
        std::fprintf(stderr, "%s\n", qPrintable(Printable(warning)));
    try {
        Main();
    } catch (const HandOverFailed &e) {
        std::fprintf(stderr, "pegmarch: %s\n", e.what());
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "pegmarch: cannot start: %s\n", e.what());
        return 1;
    }
    if (!gobjGame())
        return 0; // another instance runs; it has brought its window to the front
    return app.exec();
}
