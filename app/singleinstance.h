// SPDX-License-Identifier: MIT
// The per-user single-instance guard: a lock decides who is first; the first
// listens on a local socket and brings its window to the front when asked.
#pragma once

#include <QLocalServer>
#include <QPointer>
#include <QString>

#include <memory>

class QLockFile;

class SingleInstance
{
public:
    static SingleInstance &get();

    // True when another instance of this program already runs for this user.
    // The first call decides; the first instance then starts listening.
    bool PrevInstance();
    // Asks the running instance to bring its window titled title to the front.
    void AppActivate(const QString &title);

    // Where the lock and the socket live (a per-user runtime folder, or the temp folder).
    QString directory() const { return m_directory; }
    // The name the lock and the socket are made from.
    static QString baseName();

    // The running instance's side: raise, restore and activate the window titled title.
    static void activateWindow(const QString &title);

    ~SingleInstance();

private:
    SingleInstance() = default;
    bool acquire();
    void listen();

    bool m_decided = false;
    bool m_previous = false;
    QString m_directory;
    std::unique_ptr<QLockFile> m_lock;
    // Owned by the application object, which may be gone before this guard.
    QPointer<QLocalServer> m_server;
};
