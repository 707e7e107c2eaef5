// SPDX-License-Identifier: MIT
// Drag and drop, with real mouse events on the board picture and, for the exact
// bounds, through the handlers with single-precision positions.
#include "testsupport.h"

class TestDragDrop : public QObject, private GameFixture
{
    Q_OBJECT

    PictureView *view() { return in->view(); }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(view(), b, {}, p); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(view(), b, {}, p); }

private slots:
    void init()
    {
        start();
        QVERIFY(QTest::qWaitForWindowExposed(in->form()));
        view()->Move(10, 0, 480, 360); // peg 1 at (160, 180), peg 2 at (80, 300), peg 3 at (240, 300)
    }
    void cleanup() { stop(); }

    void pickUpCarryAndDrop()
    {
        press({190, 180}); // 30 from peg 1: ring 1 lies there, but only the top ring counts
        QCOMPARE(in->dragRing(), 0);
        press({170, 180}); // 10 from peg 1: within ring 5's radius 18
        QTest::mouseMove(view(), {300, 250});
        // Each move draws a frame at once: the ring at the pointer, gone from its peg.
        QCOMPARE(view()->picture().pixelColor(300, 250), QColor(255, 191, 191));
        QCOMPARE(view()->picture().pixelColor(169, 180), QColor(0, 255, 0));
        press({240, 240}, Qt::RightButton); // other buttons neither drop nor start anything
        release({102, 300}, Qt::RightButton);
        release({102, 300}); // 22 from peg 2: within reach (18 + 5)
        QVERIFY(in->ring(5).Peg == 2 && in->moveCount() == 1);
        for (QPoint to : {QPoint(80, 324), QPoint(-400, -300)}) { // 24 from peg 2, and far outside
            press({80, 300});
            release(to);
        }
        press({80, 300});
        press({240, 240}); // a new press that hits nothing ends the drag
        release({240, 300});
        QVERIFY(in->ring(5).Peg == 2 && in->moveCount() == 1);
    }

    // On a 512 x 256 board the centres of pegs 1 and 3, (2/6 * 512, 128) and
    // (256, 5/6 * 256), are exact in single precision, so a position can lie
    // exactly on a bound: ring 5's radius from peg 1, its radius + 5 from peg 3.
    void exactBounds()
    {
        view()->Move(10, 0, 512, 256);
        const float peg1x = 2.0f / 6 * 512, peg3y = 5.0f / 6 * 256;
        QVERIFY(peg1x == double(2.0f / 6) * 512 && peg3y == double(5.0f / 6) * 256);
        // On both bounds: picked up, not dropped; just inside both; just outside both.
        for (auto [beyond, picked, peg] : {std::tuple(0.0f, 5, 1), {-0.001f, 5, 3}, {0.001f, 0, 1}}) {
            in->ring(5).Peg = 1;
            in->mouseDown(peg1x, 128 - 18 - beyond);
            QCOMPARE(in->dragRing(), picked);
            in->setDrag(5, 0, 0);
            in->mouseUp(256 + 23 + beyond, peg3y);
            QCOMPARE(in->ring(5).Peg, peg);
        }
    }

    void lowerPegWinsWhereReachesOverlap()
    {
        // A small board: pegs 1 (20, 30), 2 (10, 50), 3 (30, 50), 4 (50, 50).
        view()->Move(10, 0, 60, 60);
        for (int r = 1; r <= 4; ++r)
            in->ring(r).Peg = 1;
        in->ring(5).Peg = 3;
        press({25, 42}); // within ring 4 on peg 1 and ring 5 on peg 3
        QCOMPARE(in->dragRing(), 4);
        release({200, 200});
        for (int r = 1; r <= 4; ++r)
            in->ring(r).Peg = 4;
        press({30, 50});
        release({14, 40}); // within reach of pegs 1 and 2, nearer to 2
        QCOMPARE(in->ring(5).Peg, 1);
    }

    void pressWhileNotRunningOrAfterTheEnd()
    {
        press({160, 180});
        game->EndGame(false); // the drag ends with the game
        release({80, 300});
        press({160, 180}, Qt::RightButton); // says nothing
        QVERIFY(game->ShortMessage().isEmpty());
        press({160, 180});
        QVERIFY(in->dragRing() == 0 && in->ring(5).Peg == 1);
        QCOMPARE(game->ShortMessage(), QStringLiteral("Game is not running.\r\nHit 'New Game'!"));
    }
};

QTEST_MAIN(TestDragDrop)
#include "tst_dragdrop.moc"
