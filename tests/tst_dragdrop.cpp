// SPDX-License-Identifier: MIT
// Drag and drop with real mouse events on the board picture.
#include "platform/pictureview.h"
#include "ui/frmmain.h"
#include "testsupport.h"

#include <QtTest>

#include <memory>

class TestDragDrop : public QObject, private GameFixture
{
    Q_OBJECT

    PictureView *view() { return in->view(); }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(view(), b, {}, p); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(view(), b, {}, p); }
    void move(QPoint p) { QTest::mouseMove(view(), p); }

private slots:
    void init()
    {
        start();
        QVERIFY(QTest::qWaitForWindowExposed(in->form()));
        view()->Move(10, 0, 480, 360); // peg 1 at (160, 180), peg 2 at (80, 300)
    }
    void cleanup()
    {
        stop();
    }

    void pickUpByTheTopRingsRadius()
    {
        press({170, 180}); // 10 from peg 1: within ring 5's radius 18
        QCOMPARE(in->dragRing(), 5);
        release({170, 180});
        QCOMPARE(in->dragRing(), 0);

        press({190, 180}); // 30 from peg 1: ring 1 lies there, but only the top ring counts
        QCOMPARE(in->dragRing(), 0);
        press({178, 180}); // exactly on the radius picks up
        QCOMPARE(in->dragRing(), 5);
        press({240, 240}); // a new press that hits nothing ends the drag
        QCOMPARE(in->dragRing(), 0);
        QCOMPARE(in->moveCount(), 0);
    }

    void dragFollowsThePointerAndRedraws()
    {
        press({160, 180});
        move({300, 250});
        QCOMPARE(in->dragX(), 300.0f);
        QCOMPARE(in->dragY(), 250.0f);
        // Each move draws a frame at once: the ring is at the pointer, gone from its peg.
        QCOMPARE(view()->picture().pixelColor(300, 250), QColor(255, 191, 191));
        QCOMPARE(view()->picture().pixelColor(169, 180), QColor(0, 255, 0));
        release({300, 250});
        QCOMPARE(in->moveCount(), 0); // not near any peg
    }

    void dropReach_data()
    {
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("peg");
        QTest::addColumn<int>("moves");
        QTest::newRow("22 from peg 2 drops") << 22 << 2 << 1;
        QTest::newRow("24 from peg 2 cancels") << 24 << 1 << 0;
    }
    void dropReach()
    {
        QFETCH(int, distance);
        QFETCH(int, peg);
        QFETCH(int, moves);
        press({160, 180});
        move({80 + distance, 300});
        release({80 + distance, 300});
        QCOMPARE(in->dragRing(), 0);
        QCOMPARE(in->ring(5).Peg, peg);
        QCOMPARE(in->moveCount(), moves);
    }

    void exactlyTheReachDoesNotDrop()
    {
        // Peg 3 sits at (240, 300) exactly: a release 23 away is on the reach, not within it.
        press({160, 180});
        release({263, 300});
        QCOMPARE(in->ring(5).Peg, 1);
        press({160, 180});
        release({262, 300});
        QCOMPARE(in->ring(5).Peg, 3);
    }

    void otherButtonsAreIgnored()
    {
        press({160, 180}, Qt::RightButton);
        QCOMPARE(in->dragRing(), 0);
        press({160, 180}, Qt::MiddleButton);
        QCOMPARE(in->dragRing(), 0);

        // A left drag goes on through a right click and ends only on the left release.
        press({160, 180});
        press({80, 300}, Qt::RightButton);
        release({80, 300}, Qt::RightButton);
        QCOMPARE(in->dragRing(), 5);
        QCOMPARE(in->moveCount(), 0);
        release({80, 300});
        QCOMPARE(in->ring(5).Peg, 2);
    }

    void releaseFarOutsideCancels()
    {
        press({160, 180});
        move({-400, -300});
        release({-400, -300});
        QCOMPARE(in->dragRing(), 0);
        QCOMPARE(in->ring(5).Peg, 1);
        QCOMPARE(in->moveCount(), 0);
    }

    void lowerPegWinsWhereReachesOverlap()
    {
        // A small board: pegs 1 (20, 30), 2 (10, 50), 3 (30, 50), 4 (50, 50).
        view()->Move(10, 0, 60, 60);
        for (int r = 1; r <= 4; ++r)
            in->ring(r).Peg = 1;
        in->ring(5).Peg = 3;
        press({25, 42}); // within ring 4 on peg 1 and ring 5 on peg 3: peg 1 wins
        QCOMPARE(in->dragRing(), 4);
        release({200, 200});

        for (int r = 1; r <= 4; ++r)
            in->ring(r).Peg = 4;
        press({30, 50});
        QCOMPARE(in->dragRing(), 5);
        release({14, 40}); // within reach of pegs 1 and 2; peg 2 is nearer, peg 1 wins
        QCOMPARE(in->ring(5).Peg, 1);
    }

    void pressWhileNotRunning()
    {
        game->EndGame(false);
        const QString ranking = game->DisplayCentered();
        press({160, 180});
        QCOMPARE(in->dragRing(), 0);
        QCOMPARE(game->ShortMessage(), QStringLiteral("Game is not running.\r\nHit 'New Game'!"));
        // A right press says nothing.
        game->SetShortMessage(QString());
        clock->advance(5000);
        game->SetShortMessage(QString());
        QCOMPARE(game->DisplayCentered(), ranking);
        press({160, 180}, Qt::RightButton);
        QVERIFY(game->ShortMessage().isEmpty());
    }

    void endOfGameDropsTheDrag()
    {
        press({160, 180});
        QCOMPARE(in->dragRing(), 5);
        game->EndGame(false);
        QCOMPARE(in->dragRing(), 0);
        release({80, 300});
        QCOMPARE(in->ring(5).Peg, 1);
    }
};

QTEST_MAIN(TestDragDrop)
#include "tst_dragdrop.moc"
