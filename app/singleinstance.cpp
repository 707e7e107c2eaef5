// SPDX-License-Identifier: MIT
// The single-instance guard on the session bus, with the standard
// org.freedesktop.Application interface that launchers call.
#include "singleinstance.h"

#include "modmain.h"
#include "platform/startupnotice.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>

#include <cstdio>

Q_LOGGING_CATEGORY(lcInstance, "pegmarch.instance", QtWarningMsg)

namespace {
const QString kName = QStringLiteral(PEGMARCH_APP_ID);
const QString kPath = QStringLiteral("/org/ostrel/Pegmarch");
// How long a later start waits for the running copy to answer.
constexpr int kAnswerMillis = 3000;
// How long a window manager has to activate the window before it asks for attention.
constexpr int kAttentionMillis = 500;

QByteArray g_startupId, g_token;
bool g_decided = false, g_previous = false;

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
        SingleInstance::activateWindow(AppTitle(), platformData.value(QStringLiteral("desktop-startup-id")).toByteArray(),
                                       platformData.value(QStringLiteral("activation-token")).toByteArray());
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
    g_startupId = qgetenv("DESKTOP_STARTUP_ID");
    g_token = qgetenv("XDG_ACTIVATION_TOKEN");
}

bool SingleInstance::PrevInstance()
{
    if (g_decided)
        return g_previous;
    g_decided = true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    QString trouble = bus.lastError().message();
    if (bus.isConnected()) {
        // In place before the name, so that whoever finds the name finds the object.
        bus.registerObject(kPath, new ApplicationObject(qApp), QDBusConnection::ExportScriptableSlots);
        const auto taken = bus.interface()->registerService(kName, QDBusConnectionInterface::DontQueueService,
                                                            QDBusConnectionInterface::DontAllowReplacement);
        if (taken.isValid()) {
            g_previous = taken.value() == QDBusConnectionInterface::ServiceNotRegistered;
            if (g_previous)
                bus.unregisterObject(kPath);
            return g_previous;
        }
        trouble = taken.error().message();
    }
    std::fprintf(stderr, "pegmarch: no session bus (%s); a later start will not find this one\n",
                 qPrintable(trouble.isEmpty() ? QStringLiteral("none to connect to") : trouble));
    return false;
}

// The running copy raises its own window, titled the same: the title is not sent.
void SingleInstance::AppActivate(const QString &)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const uint pid = bus.interface()->servicePid(kName).value();
    QVariantMap platformData;
    if (!g_startupId.isEmpty())
        platformData.insert(QStringLiteral("desktop-startup-id"), QString::fromUtf8(g_startupId));
    if (!g_token.isEmpty())
        platformData.insert(QStringLiteral("activation-token"), QString::fromUtf8(g_token));
    QDBusMessage call = QDBusMessage::createMethodCall(kName, kPath, QStringLiteral("org.freedesktop.Application"),
                                                       QStringLiteral("Activate"));
    call << platformData;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kAnswerMillis);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return;
    // No answer is the usual trouble (a copy stopped, or hung); anything else says why.
    const QString why = reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")
        ? QStringLiteral("did not answer within %1 s").arg(kAnswerMillis / 1000)
        : QStringLiteral("did not answer (%1)").arg(reply.errorMessage());
    throw HandOverFailed(qPrintable(QStringLiteral("the running copy (process %1) %2; nothing was started").arg(pid).arg(why)));
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
