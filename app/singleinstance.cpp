// SPDX-License-Identifier: MIT
// Single-instance guard over a kernel-held lock and QLocalServer.
#include "singleinstance.h"

#include "platform/instancelock.h"
#include "platform/startupnotice.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "pegmarch.instance", QtWarningMsg)

namespace {
// The one request: "activate", the window title, the launcher's startup id and its
// activation token, separated by tabs, ended by a line feed. The answer: "raised",
// or "no window", and a line feed.
const QByteArray kActivate = QByteArrayLiteral("activate");
// How long a later start waits for the running copy to answer, starting up included.
constexpr int kAnswerMillis = 3000;
// How long a window manager has to activate the window before it asks for attention.
constexpr int kAttentionMillis = 500;

QByteArray oneField(QByteArray text)
{
    return text.replace('\t', ' ').replace('\n', ' ').replace('\r', ' ');
}
} // namespace

SingleInstance &SingleInstance::get()
{
    static SingleInstance instance;
    return instance;
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::fileName(const char *kind) const
{
    return m_directory + QStringLiteral("/pegmarch-%1.%2").arg(::getuid()).arg(QLatin1String(kind));
}

void SingleInstance::prepare()
{
    m_prepared = true;
    // Taken before the platform starts: it may clear them.
    m_startupId = oneField(qgetenv("DESKTOP_STARTUP_ID"));
    m_token = oneField(qgetenv("XDG_ACTIVATION_TOKEN"));
    QString note;
    m_directory = InstanceLock::folder(&note);
    if (note.isEmpty())
        return;
    std::fprintf(stderr, "pegmarch: %s\n", qPrintable(note));
    // Qt keeps its own runtime files there too, instead of warning that it has no place.
    if (!m_directory.isEmpty())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_directory));
}

bool SingleInstance::PrevInstance()
{
    if (m_decided)
        return m_previous;
    m_decided = true;
    if (!m_prepared)
        prepare();
    if (!m_directory.isEmpty()) {
        const QString path = fileName("lock");
        m_lock = std::make_unique<InstanceLock>(path);
        if (!m_lock->error().isEmpty()) {
            std::fprintf(stderr, "pegmarch: cannot open the instance lock %s (%s); starting without the "
                                 "single-instance guard\n", qPrintable(path), qPrintable(m_lock->error()));
            m_lock.reset();
        } else {
            m_previous = !m_lock->tryLock();
        }
    }
    if (!m_previous)
        listen();
    return m_previous;
}

void SingleInstance::listen()
{
    if (!m_lock)
        return;
    const QString name = fileName("socket");
    m_server = new QLocalServer(qApp);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name); // left behind by a copy that was killed; we hold the lock
    errno = 0;
    if (!m_server->listen(name)) {
        const int error = errno;
        std::fprintf(stderr, "pegmarch: cannot listen on %s (%s); later starts cannot bring this window to "
                             "the front\n", qPrintable(name),
                     error ? std::strerror(error) : qPrintable(m_server->errorString()));
        return;
    }
    QObject::connect(m_server, &QLocalServer::newConnection, m_server, [server = m_server] {
        while (QLocalSocket *socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
                while (socket->canReadLine()) {
                    const QList<QByteArray> fields = socket->readLine(4096).chopped(1).split('\t');
                    if (fields.size() != 4 || fields[0] != kActivate)
                        continue; // not a request of ours
                    const bool raised = activateWindow(QString::fromUtf8(fields[1]), fields[2], fields[3]);
                    socket->write(raised ? "raised\n" : "no window\n");
                }
                if (socket->bytesAvailable() > 4096)
                    socket->abort();
            });
        }
    });
}

void SingleInstance::AppActivate(const QString &title)
{
    const QByteArray request = kActivate + '\t' + oneField(title.toUtf8()) + '\t' + m_startupId + '\t' + m_token + '\n';
    const QDeadlineTimer deadline(kAnswerMillis);
    QByteArray answer;
    // The running copy may still be starting up: try until it listens and answers.
    while (answer.isEmpty() && !deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(fileName("socket"));
        if (!socket.waitForConnected(int(deadline.remainingTime()))) {
            QThread::msleep(50);
            continue;
        }
        socket.write(request);
        while (!socket.canReadLine() && socket.waitForReadyRead(int(deadline.remainingTime())))
            ;
        answer = socket.readLine(64).trimmed();
    }
    if (answer == "raised")
        return;
    const long pid = m_lock ? m_lock->holder() : 0;
    const QString copy = pid ? QStringLiteral("the running copy (process %1)").arg(pid) : QStringLiteral("the running copy");
    throw HandOverFailed(qPrintable(
        answer.isEmpty() ? QStringLiteral("asked %1 to bring its window to the front through %2, but it did not "
                                          "answer within %3 s; nothing was started").arg(copy, fileName("socket")).arg(kAnswerMillis / 1000)
                         : QStringLiteral("%1 has no window titled \"%2\" to bring to the front").arg(copy, title)));
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
