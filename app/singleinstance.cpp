// SPDX-License-Identifier: MIT
// Single-instance guard over QLockFile and QLocalServer.
#include "singleinstance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

namespace {
// The one request: "activate", a tab, the window title, a line feed.
const QByteArray kActivate = QByteArrayLiteral("activate\t");
// How long a second start waits for the first to start listening.
constexpr int kConnectMillis = 5000;
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

QString SingleInstance::baseName()
{
    return QStringLiteral("pegmarch-%1").arg(static_cast<qulonglong>(getuid()));
}

bool SingleInstance::PrevInstance()
{
    if (!m_decided) {
        m_decided = true;
        m_previous = !acquire();
        if (!m_previous)
            listen();
    }
    return m_previous;
}

bool SingleInstance::acquire()
{
    // The per-user runtime folder first; where it is missing or read-only, the temp folder.
    QStringList candidates;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        candidates << runtime;
    candidates << QDir::tempPath();

    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const QString &dir = candidates[i];
        auto lock = std::make_unique<QLockFile>(dir + QLatin1Char('/') + baseName() + QStringLiteral(".lock"));
        // A game runs for hours: the lock is stale only when its owner is gone, never by age.
        lock->setStaleLockTime(0);
        if (lock->tryLock(200)) {
            m_directory = dir;
            m_lock = std::move(lock);
            return true;
        }
        if (lock->error() == QLockFile::LockFailedError) {
            m_directory = dir;
            return false; // held by a live instance
        }
        const char *why = lock->error() == QLockFile::PermissionError ? "not writable" : "missing or unusable";
        if (i + 1 < candidates.size())
            std::fprintf(stderr, "pegmarch: the folder %s is %s; keeping the instance lock in %s instead\n",
                         qPrintable(dir), why, qPrintable(candidates[i + 1]));
    }
    std::fprintf(stderr, "pegmarch: no folder for the instance lock; starting without the single-instance guard\n");
    return true;
}

void SingleInstance::listen()
{
    if (m_directory.isEmpty())
        return;
    const QString name = m_directory + QLatin1Char('/') + baseName() + QStringLiteral(".socket");
    m_server = new QLocalServer(qApp);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name); // left behind by a killed instance; we hold the lock
    if (!m_server->listen(name)) {
        std::fprintf(stderr, "pegmarch: cannot listen on %s: %s\n", qPrintable(name),
                     qPrintable(m_server->errorString()));
        return;
    }
    QObject::connect(m_server, &QLocalServer::newConnection, m_server, [server = m_server] {
        while (QLocalSocket *socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine(4096).chopped(1);
                    if (line.startsWith(kActivate)) // anything else is ignored
                        activateWindow(QString::fromUtf8(line.mid(kActivate.size())));
                }
                if (socket->bytesAvailable() > 4096)
                    socket->abort(); // not a request of ours
            });
        }
    });
}

void SingleInstance::AppActivate(const QString &title)
{
    const QString name = m_directory + QLatin1Char('/') + baseName() + QStringLiteral(".socket");
    const QDeadlineTimer deadline(kConnectMillis);
    // The first instance may still be starting up: try until it listens.
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(500)) {
            socket.write(kActivate + title.toUtf8() + '\n');
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return;
        }
        QThread::msleep(50);
    }
}

void SingleInstance::activateWindow(const QString &title)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->isWindow() || w->windowTitle() != title || !w->isVisible())
            continue;
        w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        w->show();
        w->raise();
        w->activateWindow();
        return;
    }
}
