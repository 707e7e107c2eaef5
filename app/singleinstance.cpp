// SPDX-License-Identifier: MIT
// Single-instance guard over a kernel-held lock and QLocalServer.
#include "singleinstance.h"

#include "platform/instancelock.h"
#include "platform/startupnotice.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <sys/stat.h>
#include <sys/un.h>
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

QString SingleInstance::fileName(const char *kind, const QString &folder)
{
    return (folder.isEmpty() ? folder : folder + QLatin1Char('/'))
        + QStringLiteral("pegmarch-%1.%2").arg(::getuid()).arg(QLatin1String(kind));
}

QString SingleInstance::socketPathIn(const QString &folder)
{
    // A local socket's path has room for so many bytes; past that, the private
    // folder in the temp folder has a short one.
    const QString path = fileName("socket", folder);
    if (QFile::encodeName(path).size() < qsizetype(sizeof(sockaddr_un::sun_path)))
        return path;
    const QString own = InstanceLock::privateFolder();
    return own.isEmpty() ? path : fileName("socket", own);
}

void SingleInstance::prepare()
{
    m_prepared = true;
    // Taken before the platform starts: it may clear them.
    m_startupId = oneField(qgetenv("DESKTOP_STARTUP_ID"));
    m_token = oneField(qgetenv("XDG_ACTIVATION_TOKEN"));
    QString note;
    m_directory = InstanceLock::folder(fileName("lock"), &note);
    m_socketPath = socketPathIn(m_directory);
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
        const QString path = fileName("lock", m_directory);
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
    m_server = new QLocalServer(qApp);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!listenAgain())
        return;
    // A socket file that someone deletes would leave later starts nobody to ask:
    // listen there again as soon as it is gone.
    auto *watcher = new QFileSystemWatcher({QFileInfo(m_socketPath).path()}, m_server);
    QObject::connect(watcher, &QFileSystemWatcher::directoryChanged, m_server, [this] {
        struct stat st;
        if (::lstat(QFile::encodeName(m_socketPath).constData(), &st) != 0 || !S_ISSOCK(st.st_mode))
            listenAgain();
    });
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

bool SingleInstance::listenAgain()
{
    const QString &name = m_socketPath;
    m_server->close();
    QLocalServer::removeServer(name); // left behind by a copy that was killed; we hold the lock
    if (m_server->listen(name)) {
        m_listenError.clear();
        return true;
    }
    if (m_server->errorString() != m_listenError) // said once, however often the folder changes
        std::fprintf(stderr, "pegmarch: cannot listen on %s (%s); later starts cannot bring this window to the "
                             "front\n", qPrintable(name), qPrintable(m_server->errorString()));
    m_listenError = m_server->errorString();
    return false;
}

void SingleInstance::AppActivate(const QString &title)
{
    const QByteArray request = kActivate + '\t' + oneField(title.toUtf8()) + '\t' + m_startupId + '\t' + m_token + '\n';
    const QDeadlineTimer deadline(kAnswerMillis);
    QByteArray answer;
    bool listened = false; // whether anything ever took the call
    // The running copy may still be starting up: try until it listens and answers.
    while (answer.isEmpty() && !deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (!socket.waitForConnected(int(deadline.remainingTime()))) {
            QThread::msleep(50);
            continue;
        }
        listened = true;
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
        !answer.isEmpty() ? QStringLiteral("%1 has no window titled \"%2\" to bring to the front").arg(copy, title)
        : listened        ? QStringLiteral("asked %1 to bring its window to the front through %2, but it did not "
                                           "answer within %3 s; nothing was started").arg(copy, m_socketPath).arg(kAnswerMillis / 1000)
                          : QStringLiteral("%1 holds the instance lock, but nothing listens at %2 to bring its window to "
                                           "the front; nothing was started").arg(copy, m_socketPath)));
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
