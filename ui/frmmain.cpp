// SPDX-License-Identifier: MIT
// The main window's controls, menus and events.
#include "frmmain.h"

#include "platform/picturebox.h"
#include "platform/pictureview.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QMenuBar>
#include <QTimer>

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/pegmarch-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/pegmarch-32.png"), QSize(32, 32));
    setWindowIcon(icon);

    m_inner = new QWidget(this);
    m_inner->setObjectName(QStringLiteral("inner"));
    m_inner->setAutoFillBackground(true);
    setCentralWidget(m_inner);
    // Resizes of the inner area are the window's Resize events.
    m_inner->installEventFilter(this);

    picBuffer = new PictureBox;
    tmrTimer = new QTimer(this);
    tmrTimer->setObjectName(QStringLiteral("tmrTimer"));
    tmrTimer->setInterval(100);
    picView = new PictureView(m_inner);
    picView->setObjectName(QStringLiteral("picView"));
    picView->setFocus(); // the board has the keys from the start
    picView->setMouseTracking(true); // the pointer shows where a press picks up a ring

    createActions();
    createMenus();

    // Open with the inner area at its designed size.
    m_inner->setMinimumSize(0, 0);
    resize(kInitialInnerWidth, kInitialInnerHeight + menuBar()->sizeHint().height());
}

frmMain::~frmMain()
{
    delete picBuffer;
}

void frmMain::createActions()
{
    mnuGameNew = new QAction(tr("&New"), this);
    mnuGameNew->setObjectName(QStringLiteral("mnuGameNew"));
    mnuGameNew->setShortcut(QKeySequence(Qt::Key_F2));

    mnuGameAbort = new QAction(tr("&Abort"), this);
    mnuGameAbort->setObjectName(QStringLiteral("mnuGameAbort"));
    mnuGameAbort->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    mnuGameAbort->setEnabled(false);

    mnuGameSep0 = new QAction(this);
    mnuGameSep0->setObjectName(QStringLiteral("mnuGameSep0"));
    mnuGameSep0->setSeparator(true);

    mnuGameExit = new QAction(tr("E&xit"), this);
    mnuGameExit->setObjectName(QStringLiteral("mnuGameExit"));

    mnuHelpInfo = new QAction(tr("&Info"), this);
    mnuHelpInfo->setObjectName(QStringLiteral("mnuHelpInfo"));
    mnuHelpInfo->setShortcut(QKeySequence(Qt::Key_F1));

    // The desktop's quit key, as Exit: the window's own, not shown in the menu.
    actQuit = new QAction(this);
    actQuit->setObjectName(QStringLiteral("actQuit"));
    actQuit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    addAction(actQuit);

    // Shortcuts work while the focus is anywhere in the window.
    for (QAction *a : {mnuGameNew, mnuGameAbort, mnuGameExit, mnuHelpInfo, actQuit})
        a->setShortcutContext(Qt::WindowShortcut);
}

void frmMain::createMenus()
{
    mnuGame = menuBar()->addMenu(tr("&Game"));
    mnuGame->setObjectName(QStringLiteral("mnuGame"));
    mnuGame->addAction(mnuGameNew);
    mnuGame->addAction(mnuGameAbort);
    mnuGame->addAction(mnuGameSep0);
    mnuGame->addAction(mnuGameExit);

    mnuHelp = menuBar()->addMenu(tr("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->addAction(mnuHelpInfo);
    menuBar()->installEventFilter(this);
}

int frmMain::WindowState() const
{
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized)
        return 1;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

float frmMain::ScaleWidth() const
{
    return static_cast<float>(m_inner->width());
}

float frmMain::ScaleHeight() const
{
    return static_cast<float>(m_inner->height());
}

void frmMain::Unload()
{
    m_unloading = true;
    close();
    m_unloading = false;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    emit QueryUnload(cancel, m_unloading ? 1 : 0);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        emit Resize();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_inner && event->type() == QEvent::Resize)
        emit Resize();
    // The menu bar holds the keys only while one of its menus is open. A menu closed without
    // a command (Escape, a click elsewhere), or Alt alone, gives them back to the board at
    // once: the menu bar would keep them, unseen, until a second Escape.
    if (watched == menuBar() && event->type() == QEvent::FocusIn)
        QMetaObject::invokeMethod(this, [this] {
            if (menuBar()->hasFocus() && !QApplication::activePopupWidget())
                picView->setFocus();
        }, Qt::QueuedConnection);
    return QMainWindow::eventFilter(watched, event);
}
