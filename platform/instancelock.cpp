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

QString InstanceLock::folder(QString *note)
{
    note->clear();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString why = QStringLiteral("XDG_RUNTIME_DIR is not set");
    if (!runtime.isEmpty()) {
        struct stat st;
        const QByteArray path = QFile::encodeName(runtime);
        if (::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(path.constData(), W_OK | X_OK) == 0)
            return runtime;
        why = QStringLiteral("the runtime folder %1 is %2").arg(runtime, errno == ENOENT ? "missing" : "not writable");
    }
    // In the shared temp folder, a folder of our own: another user who planted a
    // file, a folder or a link at its name can neither block nor redirect the lock.
    const QString own = QDir::tempPath() + QStringLiteral("/pegmarch-%1").arg(::getuid());
    const QByteArray path = QFile::encodeName(own);
    ::mkdir(path.constData(), 0700);
    struct stat st;
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        ::chmod(path.constData(), 0700) != 0) {
        *note = why + QStringLiteral("; %1 is not a private folder of this user's, so the game starts without "
                                     "its single-instance guard").arg(own);
        return {};
    }
    *note = why + QStringLiteral("; the instance lock is kept in %1 instead").arg(own);
    return own;
}

InstanceLock::InstanceLock(const QString &path)
{
    // Never through a link, never another process's to inherit.
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0)
        m_error = QString::fromLocal8Bit(std::strerror(errno));
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
