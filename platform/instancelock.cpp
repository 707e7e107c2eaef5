// SPDX-License-Identifier: MIT
// The instance lock over flock(2), in the runtime folder or a private folder.
#include "instancelock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// What errno says of the call that just failed.
QString lastError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Where the private folder in the temp folder is.
QString privateFolderPath()
{
    return QDir::tempPath() + QStringLiteral("/pegmarch-%1").arg(::getuid());
}

// A real folder (not a link) of this user's that nobody else can open.
bool isPrivate(const QByteArray &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0 && ::access(path.constData(), W_OK | X_OK) == 0;
}
} // namespace

QString InstanceLock::folder(const QString &lockName, QString *note)
{
    note->clear();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString why = QStringLiteral("XDG_RUNTIME_DIR is not set");
    if (!runtime.isEmpty()) {
        struct stat st;
        const QByteArray path = QFile::encodeName(runtime);
        if (::stat(path.constData(), &st) != 0)
            why = QStringLiteral("the runtime folder %1 cannot be used (%2)").arg(runtime, lastError());
        else if (!S_ISDIR(st.st_mode))
            why = QStringLiteral("the runtime folder %1 is not a folder").arg(runtime);
        else if (::access(path.constData(), W_OK | X_OK) == 0)
            return runtime;
        else if (const QString error = lastError(); QFile::exists(runtime + QLatin1Char('/') + lockName))
            return runtime; // turned read-only: its lock is still the one to take
        else
            why = QStringLiteral("the runtime folder %1 cannot be written to (%2)").arg(runtime, error);
    }
    // This user's runtime folder as the system makes it: a start that has no
    // runtime folder of its own meets the others there.
    const QString system = QStringLiteral("/run/user/%1").arg(::getuid());
    if (system != runtime && isPrivate(QFile::encodeName(system))) {
        *note = why + QStringLiteral("; the instance lock is kept in %1 instead").arg(system);
        return system;
    }
    const QString own = privateFolder();
    if (own.isEmpty()) {
        *note = why + QStringLiteral("; %1 is not a private folder of this user's, so the game starts without "
                                     "its single-instance guard").arg(privateFolderPath());
        return {};
    }
    *note = why + QStringLiteral("; the instance lock is kept in %1 instead, where a start that finds a runtime "
                                 "folder will not look").arg(own);
    return own;
}

QString InstanceLock::privateFolder()
{
    // In the shared temp folder, a folder of our own: another user who planted a
    // file, a folder or a link at its name can neither block nor redirect the lock.
    const QString own = privateFolderPath();
    const QByteArray path = QFile::encodeName(own);
    ::mkdir(path.constData(), 0700);
    struct stat st;
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        ::chmod(path.constData(), 0700) != 0)
        return {};
    return own;
}

InstanceLock::InstanceLock(const QString &path)
{
    // Never through a link, never another process's to inherit. In a folder that
    // turned read-only the lock is still there to take: flock needs no writing.
    const QByteArray name = QFile::encodeName(path);
    m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0 && (errno == EACCES || errno == EROFS))
        m_fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (m_fd < 0)
        m_error = lastError();
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // lets go of the lock
}

bool InstanceLock::tryLock()
{
    if (m_fd < 0 || ::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
        return false;
    // The process id only tells later starts who holds the lock; it is held either way.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(m_fd, 0) == 0)
        [[maybe_unused]] const auto written = ::pwrite(m_fd, pid.constData(), pid.size(), 0);
    return true;
}

long InstanceLock::holder() const
{
    char text[32] = {};
    if (m_fd < 0 || ::pread(m_fd, text, sizeof text - 1, 0) <= 0)
        return 0;
    const long pid = std::strtol(text, nullptr, 10);
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM) ? pid : 0; // a living process, or unknown
}
