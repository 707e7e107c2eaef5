// SPDX-License-Identifier: MIT
// The per-user single-instance guard: a lock decides who is first; the first
// listens on a local socket and brings its window to the front when a later start
// asks, and says so; a later start that gets no such answer says why and fails.
#pragma once

#include <QLocalServer>
#include <QPointer>
#include <QString>

#include <memory>
#include <stdexcept>

class InstanceLock;

// A later start that could not hand over to the running copy: what went wrong, in words.
struct HandOverFailed : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

class SingleInstance
{
public:
    static SingleInstance &get();

    // Chooses the folder for the lock and the socket before the platform starts
    // (saying so in one line when it is not the runtime folder), and keeps the
    // launcher's startup id and activation token to hand over to a running copy.
    void prepare();
    // True when another instance of this program already runs for this user.
    // The first call decides; the first instance then starts listening.
    bool PrevInstance();
    // Asks the running instance to bring its window titled title to the front, and
    // waits a short while for it to say it did; throws HandOverFailed otherwise.
    void AppActivate(const QString &title);

    // The running instance's side: raise, restore and activate the window titled
    // title, completing the launcher's start-up feedback; false when there is none.
    static bool activateWindow(const QString &title, const QByteArray &startupId, const QByteArray &token);

    ~SingleInstance();

private:
    SingleInstance() = default;
    void listen();
    // (Re)opens the socket at its path, saying why where it cannot.
    bool listenAgain();
    // pegmarch-UID.kind, in folder where one is given.
    static QString fileName(const char *kind, const QString &folder = {});
    // Where the running copy listens: in folder, or where the path is too long
    // for a socket, in the private folder.
    static QString socketPathIn(const QString &folder);

    bool m_prepared = false;
    bool m_decided = false;
    bool m_previous = false;
    QString m_directory;
    QString m_socketPath; // chosen with the folder
    QByteArray m_startupId, m_token;
    QString m_listenError;
    std::unique_ptr<InstanceLock> m_lock;
    // Owned by the application object, which may be gone before this guard.
    QPointer<QLocalServer> m_server;
};
