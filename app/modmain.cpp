// SPDX-License-Identifier: MIT
// The start-up module.
#include "modmain.h"

#include "game/game.h"
#include "singleinstance.h"

#include <QCoreApplication>

#include <memory>

namespace {
// Deletion is deferred to the event loop, so that a handler that drops the last
// reference (Exit, closing the window) finishes before its Game goes away.
struct DeferredDelete
{
    void operator()(Game *game) const { game->deleteLater(); }
};

std::unique_ptr<Game, DeferredDelete> &theGame()
{
    static std::unique_ptr<Game, DeferredDelete> game;
    return game;
}

constexpr const char *kProductTitle = "Ostrel 'Pegmarch'";
} // namespace

QString AppTitle()
{
    return QString::fromLatin1(kProductTitle) + QLatin1Char(' ') + QString::number(PEGMARCH_VERSION_MAJOR)
        + QLatin1Char('.') + QString::number(PEGMARCH_VERSION_MINOR) + QLatin1Char('.')
        + QString::number(PEGMARCH_VERSION_PATCH);
}

void SetGame(Game *game)
{
    theGame().reset(game);
}

Game *gobjGame()
{
    return theGame().get();
}

void Main()
{
    if (SingleInstance::PrevInstance()) {
        SingleInstance::AppActivate(AppTitle());
        return;
    }
    auto *game = new Game;
    // The program ends once its Game is gone and the window with it.
    QObject::connect(game, &QObject::destroyed, QCoreApplication::instance(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    SetGame(game);
}
