// SPDX-License-Identifier: MIT
// The Game's construction, destruction and wiring to its window.
#include "game.h"

#include "app/modmain.h"
#include "platform/errorreport.h"
#include "platform/picturebox.h"
#include "platform/pictureview.h"
#include "platform/textlayer.h"
#include "support/supportlibrary.h"
#include "ui/frmmain.h"

#include <QAction>
#include <QTimer>

Game::Game()
{
    pstrSupportLibraryText = SupportLibrary::instance().LibraryText();

    auto *form = new frmMain;
    pobjForm = form;
    connect(pobjForm, &frmMain::QueryUnload, this, [this](bool &cancel, int mode) {
        ErrorReport::Guarded("QueryUnload", [&] { pobjForm_QueryUnload(cancel, mode); });
    });
    connect(pobjForm, &frmMain::Resize, this,
            [this] { ErrorReport::Guarded("Resize", [&] { pobjForm_Resize(); }); });

    pobjForm->setWindowTitle(AppTitle());

    pobjMnuHelpInfo = form->mnuHelpInfo;
    pobjMnuAbort = form->mnuGameAbort;
    pobjMnuExit = form->mnuGameExit;
    pobjMnuNewGame = form->mnuGameNew;
    pobjPicBuffer = form->picBuffer;
    pobjPicView = form->picView;
    pobjTimer = form->tmrTimer;
    bindHandlers();

    fillBoard();

    pobjForm->show();
    pobjTimer->setInterval(100);
    pobjTimer->start();
    NewGame();
    announceBoard();
    // The first tick comes as soon as the event loop runs, not a whole interval
    // later: the window opens with its board drawn.
    QTimer::singleShot(0, this, [this] { ErrorReport::Guarded("Timer", [&] { pobjTimer_Timer(); }); });
}

void Game::bindHandlers()
{
    using ErrorReport::Guarded;
    connect(pobjMnuHelpInfo, &QAction::triggered, this,
            [this] { Guarded("Info", [&] { pobjMnuHelpInfo_Click(); }); });
    connect(pobjMnuAbort, &QAction::triggered, this,
            [this] { Guarded("Abort", [&] { pobjMnuAbort_Click(); announceBoard(); }); });
    for (QAction *exit : {pobjMnuExit, pobjForm->actQuit})
        connect(exit, &QAction::triggered, this, [this] { Guarded("Exit", [&] { pobjMnuExit_Click(); }); });
    connect(pobjMnuNewGame, &QAction::triggered, this,
            [this] { Guarded("New", [&] { pobjMnuNewGame_Click(); announceBoard(); }); });
    connect(pobjPicView, &PictureView::MouseDown, this,
            [this](std::int16_t b, std::int16_t s, float x, float y) {
                Guarded("MouseDown", [&] { pobjPicView_MouseDown(b, s, x, y); showHand(x, y); announceBoard(); });
            });
    connect(pobjPicView, &PictureView::MouseMove, this,
            [this](std::int16_t b, std::int16_t s, float x, float y) {
                Guarded("MouseMove", [&] { pobjPicView_MouseMove(b, s, x, y); showHand(x, y); });
            });
    connect(pobjPicView, &PictureView::MouseUp, this,
            [this](std::int16_t b, std::int16_t s, float x, float y) {
                Guarded("MouseUp", [&] { pobjPicView_MouseUp(b, s, x, y); showHand(x, y); announceBoard(); });
            });
    connect(pobjPicView, &PictureView::MouseLost, this,
            [this] { Guarded("MouseLost", [&] { pobjPicView_MouseLost(); }); });
    connect(pobjPicView, &PictureView::KeyDown, this, [this](int key, Qt::KeyboardModifiers m) {
        Guarded("KeyDown", [&] { pobjPicView_KeyDown(key, m); announceBoard(); });
    });
    connect(pobjPicView, &PictureView::Resize, this,
            [this] { Guarded("Resize", [&] { pobjPicView_Resize(); }); });
    connect(pobjTimer, &QTimer::timeout, this,
            [this] { Guarded("Timer", [&] { pobjTimer_Timer(); }); });
}

Game::~Game()
{
    // Every step is attempted; a failing one must not stop the rest.
    auto attempt = [](auto &&step) {
        try {
            step();
        } catch (...) {
        }
    };
    attempt([&] {
        if (pobjTimer) {
            pobjTimer->stop();
            pobjTimer->setInterval(0);
        }
    });
    attempt([&] {
        if (pobjForm)
            pobjForm->hide();
    });
    attempt([&] {
        for (QObject *o : std::initializer_list<QObject *>{pobjTimer, pobjPicView, pobjMnuNewGame,
                                                           pobjMnuExit, pobjMnuAbort, pobjMnuHelpInfo})
            if (o)
                disconnect(o, nullptr, this, nullptr);
        pobjTimer = nullptr;
        pobjPicBuffer = nullptr;
        pobjPicView = nullptr;
        pobjMnuNewGame = nullptr;
        pobjMnuExit = nullptr;
        pobjMnuAbort = nullptr;
        pobjMnuHelpInfo = nullptr;
    });
    attempt([&] {
        if (pobjForm)
            pobjForm->Unload();
    });
    attempt([&] {
        if (pobjForm) {
            disconnect(pobjForm, nullptr, this, nullptr);
            delete pobjForm;
        }
        pobjForm = nullptr;
    });
    attempt([&] { releaseOverlayFont(); });
}

void Game::Quit()
{
    SetGame(nullptr);
}

void Game::pobjForm_QueryUnload(bool &Cancel, int UnloadMode)
{
    Q_UNUSED(Cancel); // the closing is never refused
    if (UnloadMode == 1)
        return; // our own unload, from the destruction
    Quit();
}
