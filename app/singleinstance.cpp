// SPDX-License-Identifier: MIT
// The single-instance guard on the session bus, with the standard
// org.freedesktop.Application interface that launchers call.
#include "singleinstance.h"

#include "modmain.h"
#include "platform/startupnotice.h"
#include "printable.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <csignal>
#include <cstdio>

#include <sys/time.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "pegmarch.instance", QtWarningMsg)

namespace {
const QString kName = QStringLiteral(PEGMARCH_APP_ID);
const QString kPath = QStringLiteral("/org/ostrel/Pegmarch");
// How long a start may wait on the bus, counted from the start: to connect, for the
// name, for the running copy to answer. With the platform's own start, a start that
// shows no window within 5 s has said why by then.
constexpr int kStartMillis = 4000;
// How long a later start waits for the running copy to answer, at most.
constexpr int kAnswerMillis = 3000;
// The least a wait on the bus is given, however late it comes: a bus answers in far less.
constexpr int kLeastMillis = 250;
// How long a window manager has to activate the window before it asks for attention.
constexpr int kAttentionMillis = 500;
// The longest startup id or activation token used: launchers' are far shorter.
constexpr qsizetype kMostIdBytes = 1024;

QByteArray g_startupId, g_token;
bool g_decided = false, g_previous = false;
QDeadlineTimer g_start;
QByteArray g_busSilent; // said when the bus takes no connection in time

// Where the bus library looks for the session bus.
QString busAddress()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus");
    return qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS",
                                QFileInfo::exists(runtime) ? QStringLiteral("unix:path=") + runtime : QStringLiteral("autolaunch:"));
}

QString busSilent(const QString &what)
{
    return QStringLiteral("the session bus at %1 did not answer %2 within %3 s of the start")
        .arg(Printable(busAddress()), what).arg(kStartMillis / 1000);
}

// What is left of the start's time for one more wait on the bus, at most most.
int timeLeft(int most = kStartMillis)
{
    return int(std::clamp<qint64>(g_start.remainingTime(), kLeastMillis, most));
}

// The connection is made on Qt's D-Bus thread while this one waits for it with no
// limit of its own: an alarm ends a wait for a bus that never answers.
QDBusConnection connectInTime()
{
    g_busSilent = "pegmarch: " + busSilent(QStringLiteral("the connection")).toLocal8Bit() + "; nothing was started\n";
    struct sigaction alarm = {}, before = {};
    alarm.sa_handler = [](int) {
        [[maybe_unused]] const auto written = write(STDERR_FILENO, g_busSilent.constData(), size_t(g_busSilent.size()));
        _exit(1);
    };
    sigaction(SIGALRM, &alarm, &before);
    const int left = timeLeft();
    itimerval once = {{0, 0}, {left / 1000, left % 1000 * 1000}};
    setitimer(ITIMER_REAL, &once, nullptr);
    QDBusConnection bus = QDBusConnection::sessionBus();
    once = {};
    setitimer(ITIMER_REAL, &once, nullptr);
    sigaction(SIGALRM, &before, nullptr);
    return bus;
}

// A launcher's id or token, or nothing for one no launcher makes: too long, or with
// bytes that do not belong in an X message.
QByteArray usable(const QVariant &value)
{
    const QByteArray id = value.toByteArray();
    return id.size() <= kMostIdBytes && std::all_of(id.begin(), id.end(), [](char c) { return c >= ' ' && c <= '~'; })
        ? id
        : QByteArray();
}

// What launchers call on the running copy. The game opens no files and has no actions.
class ApplicationObject : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    using QObject::QObject;

public slots:
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData)
    {
        SingleInstance::activateWindow(AppTitle(), usable(platformData.value(QStringLiteral("desktop-startup-id"))),
                                       usable(platformData.value(QStringLiteral("activation-token"))));
    }
    Q_SCRIPTABLE void Open(const QStringList &, const QVariantMap &) { refuse(QStringLiteral("The game opens no files.")); }
    Q_SCRIPTABLE void ActivateAction(const QString &name, const QVariantList &, const QVariantMap &)
    {
        refuse(QStringLiteral("The game has no action \"%1\".").arg(name));
    }

private:
    void refuse(const QString &why) { sendErrorReply(QDBusError::NotSupported, why); }
};
} // namespace

void SingleInstance::prepare()
{
    g_start.setRemainingTime(kStartMillis);
    g_startupId = qgetenv("DESKTOP_STARTUP_ID");
    g_token = qgetenv("XDG_ACTIVATION_TOKEN");
}

bool SingleInstance::PrevInstance()
{
    if (g_decided)
        return g_previous;
    g_decided = true;
    QDBusConnection bus = connectInTime();
    const QString error = bus.lastError().message();
    QString trouble = QStringLiteral("no session bus (%1)").arg(error.isEmpty() ? QStringLiteral("none to connect to") : Printable(error));
    if (bus.isConnected()) {
        // In place before the name, so that whoever finds the name finds the object.
        bus.registerObject(kPath, new ApplicationObject(qApp), QDBusConnection::ExportScriptableSlots);
        bus.interface()->setTimeout(timeLeft());
        const auto taken = bus.interface()->registerService(kName, QDBusConnectionInterface::DontQueueService,
                                                            QDBusConnectionInterface::DontAllowReplacement);
        bus.interface()->setTimeout(-1); // Qt's own calls through it keep Qt's limit
        if (taken.isValid()) {
            g_previous = taken.value() == QDBusConnectionInterface::ServiceNotRegistered;
            if (g_previous)
                bus.unregisterObject(kPath);
            return g_previous;
        }
        // A bus that took the connection and then answers nothing: the game goes on without it.
        trouble = taken.error().type() == QDBusError::NoReply ? busSilent(QStringLiteral("the request for the game's name"))
                                                              : QStringLiteral("no session bus (%1)").arg(Printable(taken.error().message()));
    }
    std::fprintf(stderr, "pegmarch: %s; a later start will not find this one\n", qPrintable(trouble));
    return false;
}

// The running copy raises its own window, titled the same: the title is not sent.
void SingleInstance::AppActivate(const QString &)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.interface()->setTimeout(timeLeft());
    const uint pid = bus.interface()->servicePid(kName).value();
    bus.interface()->setTimeout(-1);
    QVariantMap platformData;
    if (!g_startupId.isEmpty())
        platformData.insert(QStringLiteral("desktop-startup-id"), QString::fromUtf8(g_startupId));
    if (!g_token.isEmpty())
        platformData.insert(QStringLiteral("activation-token"), QString::fromUtf8(g_token));
    QDBusMessage call = QDBusMessage::createMethodCall(kName, kPath, QStringLiteral("org.freedesktop.Application"),
                                                       QStringLiteral("Activate"));
    call << platformData;
    const int answer = timeLeft(kAnswerMillis);
    const QDBusMessage reply = bus.call(call, QDBus::Block, answer);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return;
    // No answer is the usual trouble (a copy stopped, or hung); anything else says why.
    const QString why = reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")
        ? QStringLiteral("did not answer within %1 s").arg(answer / 1000.0)
        : QStringLiteral("did not answer (%1)").arg(Printable(reply.errorMessage()));
    const QString who = pid ? QStringLiteral("the running copy (process %1)").arg(pid) : QStringLiteral("the running copy");
    throw HandOverFailed(qPrintable(QStringLiteral("%1 %2; nothing was started").arg(who, why)));
}

bool SingleInstance::activateWindow(const QString &title, const QByteArray &startupId, const QByteArray &token)
{
    qCDebug(lcInstance) << "asked to come to the front; startup id" << startupId << "activation token" << token;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->isWindow() || w->windowTitle() != title || !w->isVisible())
            continue;
        // Qt's Wayland plugin takes the token from here when the window asks to be activated.
        if (!token.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", token);
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        w->show();
        w->raise();
        // With the launcher's time where there is one: Qt would ask with the time of
        // this copy's own last event, older than what the user did since elsewhere.
        if (!RequestActivation(w->windowHandle(), LaunchTime(startupId)))
            w->activateWindow();
        CompleteStartup(startupId);
        // Where the window manager will not raise it (a start from a terminal has no
        // time to show), the window asks for attention in the task list instead.
        QTimer::singleShot(kAttentionMillis, w, [w] { QApplication::alert(w); });
        return true;
    }
    return false;
}

#include "singleinstance.moc"
