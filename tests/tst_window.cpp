// SPDX-License-Identifier: MIT
// The window and the Game's life: title, layout and the resize rule, the timer
// across minimise and restore, menus and shortcuts, Exit and closing.
#include "app/modmain.h"
#include "platform/picturebox.h"
#include "platform/pictureview.h"
#include "testsupport.h"
#include "ui/frmmain.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<Game> game;
    std::unique_ptr<GameInspector> in;

    // Resizes the window so that its inner area (below the menu bar) is w x h.
    void setInner(int w, int h)
    {
        frmMain *f = in->form();
        const QSize frame = f->size() - QSize(int(f->ScaleWidth()), int(f->ScaleHeight()));
        f->resize(w + frame.width(), h + frame.height());
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        game = std::make_unique<Game>();
        in = std::make_unique<GameInspector>(*game);
        QVERIFY(QTest::qWaitForWindowExposed(in->form()));
    }
    void cleanup()
    {
        in.reset();
        game.reset();
    }

    void resizeRule_data()
    {
        QTest::addColumn<QSize>("inner");
        QTest::addColumn<QRect>("board");
        QTest::newRow("larger") << QSize(800, 600) << QRect(10, 0, 780, 590);
        QTest::newRow("low") << QSize(400, 93) << QRect(10, 0, 380, 84);
        QTest::newRow("exactly 94") << QSize(400, 94) << QRect(10, 0, 380, 84);
        QTest::newRow("95") << QSize(400, 95) << QRect(10, 0, 380, 85);
        QTest::newRow("tiny") << QSize(15, 5) << QRect(10, 0, 0, 84);
    }
    void resizeRule()
    {
        QFETCH(QSize, inner);
        QFETCH(QRect, board);
        // The window's own minimum would hide the rule: let the inner area be anything.
        in->form()->setMinimumSize(0, 0);
        in->form()->centralWidget()->setMinimumSize(0, 0);
        setInner(inner.width(), inner.height());
        if (QSize(int(in->form()->ScaleWidth()), int(in->form()->ScaleHeight())) != inner)
            QSKIP("the platform would not make the window that small");
        QCOMPARE(in->view()->geometry(), board);
        PictureBox *b = in->buffer();
        QCOMPARE(QRectF(b->Left(), b->Top(), b->Width(), b->Height()), QRectF(board));
    }

    void bufferFollowsViewBeforeItIsShown()
    {
        // The buffer follows the view's rectangle even while nothing is shown.
        in->form()->hide();
        in->view()->Move(10, 0, 300, 200);
        PictureBox *b = in->buffer();
        QCOMPARE(QRectF(b->Left(), b->Top(), b->Width(), b->Height()), QRectF(10, 0, 300, 200));
    }

    void minimiseStopsTheTimerAndRestoreResumes()
    {
        frmMain *f = in->form();
        f->setWindowState(Qt::WindowMinimized);
        QCoreApplication::processEvents();
        QCOMPARE(f->WindowState(), 1);
        QVERIFY(!in->timer()->isActive());
        const QRect before = in->view()->geometry();

        f->setWindowState(Qt::WindowNoState);
        QCoreApplication::processEvents();
        QCOMPARE(f->WindowState(), 0);
        QVERIFY(in->timer()->isActive());
        QCOMPARE(in->view()->geometry(), before);

        f->setWindowState(Qt::WindowMaximized);
        QCoreApplication::processEvents();
        QTRY_COMPARE(f->WindowState(), 2);
        QTRY_COMPARE(in->view()->width(), qRound(f->ScaleWidth()) - 20);
        QVERIFY(in->timer()->isActive());
    }

    void shortcutsReachNewAndAbort()
    {
        frmMain *f = in->form();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        game->MoveRing(5, 2);

        QTest::keyClick(f, Qt::Key_F4, Qt::ControlModifier);
        QVERIFY(!game->running());
        QCOMPARE(game->GameOverText(), QStringLiteral("You didn't\r\ndo it in 1..."));
        QVERIFY(!in->abortAction()->isEnabled());

        // Disabled: a second Ctrl+F4 changes nothing.
        QTest::keyClick(f, Qt::Key_F4, Qt::ControlModifier);
        QCOMPARE(game->SubState(), 2);

        QTest::keyClick(f, Qt::Key_F2);
        QVERIFY(game->running());
        QVERIFY(in->abortAction()->isEnabled());
        QCOMPARE(game->rings()[5].Peg, 1);
        QVERIFY(game->DisplayCentered().isEmpty());
    }

    void exitDefersDestructionUntilTheHandlerReturns()
    {
        in.reset();
        Game *raw = game.release();
        SetGame(raw);
        QPointer<Game> watch(raw);
        QPointer<frmMain> window(raw->MainForm());

        raw->Quit();
        QVERIFY(!gobjGame());
        QVERIFY(watch); // still alive: its handler has not returned yet
        QVERIFY(window);

        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!watch);
        QVERIFY(!window);
    }

    void closingTheWindowQuitsOnce()
    {
        in.reset();
        Game *raw = game.release();
        SetGame(raw);
        QPointer<Game> watch(raw);
        frmMain *form = raw->MainForm();
        QPointer<frmMain> window(form);

        form->close(); // as the title bar's close button does
        QVERIFY(!gobjGame());
        QVERIFY(!form->isVisible()); // the close was not refused
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!watch);
        QVERIFY(!window);
    }

    void destructionStopsEverything()
    {
        QTimer *timer = in->timer();
        QPointer<frmMain> window(in->form());
        QSignalSpy timerDestroyed(timer, &QObject::destroyed);
        in.reset();
        game.reset();
        QVERIFY(!window);
        QCOMPARE(timerDestroyed.count(), 1);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
