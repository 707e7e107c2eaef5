// SPDX-License-Identifier: MIT
// The per-user instance lock: a lock the kernel holds for the process and lets go
// of when it ends, however it ends, so that no lock is ever left stale; and the
// folder it lives in, which only this user can write.
#pragma once

#include <QString>

class InstanceLock
{
public:
    // The folder for the lock (named lockName there) and the instance socket: the
    // runtime folder when it is usable, or holds the lock though it turned
    // read-only; else this user's runtime folder under /run/user; else the
    // private folder below. Empty when none will do. note is one line saying what
    // was chosen instead of the runtime folder, and why (empty when nothing needs
    // saying).
    static QString folder(const QString &lockName, QString *note);
    // A folder of this user's in the temp folder, made if need be, and only given
    // while it is a real folder of this user's that nobody else can open; else empty.
    static QString privateFolder();

    explicit InstanceLock(const QString &path);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Takes the lock if no living process holds it, and writes our process id in it.
    bool tryLock();
    // The process id the holder wrote, or 0 when unknown.
    long holder() const;
    // Why the lock file could not be opened (empty when it could).
    QString error() const { return m_error; }

private:
    int m_fd = -1;
    QString m_error;
};
