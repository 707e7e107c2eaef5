// SPDX-License-Identifier: MIT
// The application object.
#include "application.h"

#include "modmain.h"
#include "platform/errorreport.h"

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("pegmarch"));
    setApplicationVersion(QStringLiteral("%1.%2.%3")
                              .arg(PEGMARCH_VERSION_MAJOR)
                              .arg(PEGMARCH_VERSION_MINOR)
                              .arg(PEGMARCH_VERSION_PATCH));
    setDesktopFileName(QStringLiteral(PEGMARCH_APP_ID)); // matches the window to its desktop entry
    setQuitOnLastWindowClosed(false); // the program ends when its Game is gone
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ErrorReport::ReportCurrent("event handler");
        return false;
    }
}

bool Application::displayAvailable()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
