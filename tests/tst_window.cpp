// SPDX-License-Identifier: MIT
// The window and playing in it: the resize rule, the timer across minimise and
// restore, the shortcuts and what the info dialog is given; drag and drop with real
// mouse events and, for the exact bounds, through the handlers with single-precision
// positions; the keys; the board in words and its news for assistive tools; a drag
// cut short when the board loses the mouse. (Exit and closing: the end-to-end suite.)
#include "app/modmain.h"
#include "platform/picturebox.h"
#include "support/infodialog.h"
#include "testsupport.h"

#include <QMenu>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {
int g_described = 0; // description changes the board announced
QStringList g_heard; // the news, each as it was shown to assistive tools

void listen(QAccessibleEvent *e)
{
    g_described += e->type() == QAccessible::DescriptionChanged;
    if (e->type() == QAccessible::ObjectShow && e->accessibleInterface()->role() == QAccessible::Notification)
        g_heard << e->accessibleInterface()->text(QAccessible::Name);
}

// Key clicks and, given as minus the button, presses of a mouse button on peg 1.
QTestEventList events(std::initializer_list<int> keys, Qt::KeyboardModifiers m = {})
{
    QTestEventList list;
    for (int k : keys)
        k < 0 ? list.addMousePress(Qt::MouseButton(-k), {}, {160, 180}) : list.addKeyClick(Qt::Key(k), m);
    return list;
}
} // namespace

class TestWindow : public QObject, private GameFixture
{
    Q_OBJECT

    frmMain *form() { return in->form(); }
    PictureView *view() { return in->view(); }
    QColor at(int x, int y) { return frame().pixelColor(x, y); }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(view(), b, {}, p); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(view(), b, {}, p); }

private slots:
    void init()
    {
        // As when a screen reader listens: only then are accessibility events raised.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler(listen);
        start();
        QVERIFY(QTest::qWaitForWindowExposed(form()));
        view()->Move(10, 0, 480, 360); // peg 1 at (160, 180), peg 2 at (80, 300), peg 3 at (240, 300)
        g_described = 0;
        g_heard.clear();
    }
    // Each event in turn, as a player's, with what it announces said before the next.
    void play(const QTestEventList &list)
    {
        for (QTestEvent *e : list) {
            e->simulate(view());
            QCoreApplication::processEvents();
        }
    }
    void cleanup() { stop(); }

    // The board keeps 10 px to the sides and the bottom, and at least 84 px of height.
    void resizeRule()
    {
        form()->setMinimumSize(0, 0); // the window's own minimum would hide the rule
        form()->centralWidget()->setMinimumSize(0, 0);
        for (auto [inner, board] : {std::pair(QSize(800, 600), QRect(10, 0, 780, 590)), {{521, 365}, {10, 0, 501, 355}},
                                    {{400, 93}, {10, 0, 380, 84}}, {{400, 95}, {10, 0, 380, 85}}, {{15, 5}, {10, 0, 0, 84}}}) {
            form()->resize(form()->size() - QSize(qRound(form()->ScaleWidth()), qRound(form()->ScaleHeight())) + inner);
            QCoreApplication::processEvents();
            QCOMPARE(QSize(qRound(form()->ScaleWidth()), qRound(form()->ScaleHeight())), inner);
            QCOMPARE(in->view()->geometry(), board);
            PictureBox *b = in->buffer();
            QCOMPARE(QRectF(b->Left(), b->Top(), b->Width(), b->Height()), QRectF(board));
        }
    }

    void minimiseStopsTheTimerAndRestoreResumes()
    {
        in->timer()->start();
        for (auto [state, code, ticking] : {std::tuple(Qt::WindowMinimized, 1, false), {Qt::WindowNoState, 0, true},
                                            {Qt::WindowMaximized, 2, true}}) {
            form()->setWindowState(state);
            QTRY_COMPARE(form()->WindowState(), code);
            QCOMPARE(in->timer()->isActive(), ticking);
        }
        QTRY_COMPARE(in->view()->width(), qRound(form()->ScaleWidth()) - 20);
    }

    void shortcuts()
    {
        form()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form()));
        game->MoveRing(5, 2);
        QTest::keyClick(form(), Qt::Key_F4, Qt::ControlModifier);
        QCOMPARE(game->GameOverText(), QStringLiteral("You didn't\r\ndo it in 1..."));
        QTest::keyClick(form(), Qt::Key_F4, Qt::ControlModifier); // disabled now: nothing changes
        QCOMPARE(game->SubState(), 2);
        QTest::keyClick(form(), Qt::Key_F2);
        QVERIFY(in->running() && form()->mnuGameAbort->isEnabled());
        QCOMPARE(in->ring(5).Peg, 1);
        QVERIFY(game->DisplayCentered().isEmpty());
        // The menu stays as it is: Ctrl+Q, the desktop's quit key (end to end), is not in it.
        QCOMPARE(form()->mnuGame->actions(), (QList{form()->mnuGameNew, form()->mnuGameAbort, form()->mnuGameSep0, form()->mnuGameExit}));
        QTest::keyClick(form(), Qt::Key_F1);
        QCOMPARE(boxes, QStringList{AppTitle() + ": Ostrel and Pegmarch are trademarks of the Ostrel Pegmarch developers.\n"
                                                 "Written by the Ostrel Pegmarch developers.\n"
                                                 "Simply drag the small rings over bigger rings or empty pegs to move them.\n"
                                                 "Moving only one ring at a time, the subject is to move all 5 rings in\n"
                                                 "correct order from peg 1 to 2, 2 to 3, ..., 5 to 6 in as less moves as possible."});
        boxesExpected = true;
    }

    void pickUpCarryAndDrop()
    {
        press({190, 180}); // 30 from peg 1: ring 1 lies there, but only the top ring counts
        QCOMPARE(in->dragRing(), 0);
        press({170, 180}); // 10 from peg 1: within ring 5's radius 18
        QTest::mouseMove(view(), {300, 250});
        // Each move draws a frame at once: the ring at the pointer, gone from its peg.
        QCOMPARE(view()->picture().pixelColor(300, 250), QColor(255, 191, 191));
        QCOMPARE(view()->picture().pixelColor(169, 180), QColor(0, 255, 0));
        QCOMPARE(view()->cursor().shape(), Qt::ClosedHandCursor);
        press({240, 240}, Qt::RightButton); // other buttons neither drop nor start anything
        release({102, 300}, Qt::RightButton);
        release({102, 300}); // 22 from peg 2: within reach (18 + 5)
        QVERIFY(in->ring(5).Peg == 2 && in->moveCount() == 1);
        for (auto [at, shape] : {std::pair(QPoint(85, 300), Qt::OpenHandCursor), {{190, 180}, Qt::ArrowCursor}}) { // ring 5, and no top ring
            QTest::mouseMove(view(), at);
            QCOMPARE(view()->cursor().shape(), shape);
        }
        for (QPoint to : {QPoint(80, 324), QPoint(-400, -300)}) { // 24 from peg 2, and far outside
            press({80, 300});
            release(to);
        }
        for (bool escape : {false, true}) { // a new press that hits nothing, or Escape, ends the drag
            press({80, 300});
            escape ? QTest::keyClick(view(), Qt::Key_Escape) : press({240, 240});
            release({240, 300}); // on peg 3: nothing follows
        }
        QVERIFY(in->ring(5).Peg == 2 && in->moveCount() == 1);
        // While no game runs a press picks up nothing and says so; other buttons say nothing.
        in->ring(5).Peg = 1;
        press({160, 180});
        game->EndGame(false); // the drag ends with the game
        release({80, 300});
        press({160, 180}, Qt::RightButton);
        QVERIFY(game->ShortMessage().isEmpty());
        press({160, 180});
        QVERIFY(in->dragRing() == 0 && in->ring(5).Peg == 1);
        QCOMPARE(game->ShortMessage(), QStringLiteral("Game is not running.\r\nHit 'New Game'!"));
    }

    // On a 512 x 256 board the centres of pegs 1 and 3, (2/6 * 512, 128) and
    // (256, 5/6 * 256), are exact in single precision, so a position can lie
    // exactly on a bound: ring 5's radius from peg 1, its radius + 5 from peg 3.
    void boundsAndOverlaps()
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
        // Where reaches overlap, the lower peg wins. A small board: pegs 1 (20, 30), 2 (10, 50), 3 (30, 50), 4 (50, 50).
        view()->Move(10, 0, 60, 60);
        in->setPegs({1, 1, 1, 1, 3});
        press({25, 42}); // within ring 4 on peg 1 and ring 5 on peg 3
        QCOMPARE(in->dragRing(), 4);
        release({200, 200});
        in->setPegs({4, 4, 4, 4, 3});
        press({30, 50});
        release({14, 40}); // within reach of pegs 1 and 2, nearer to 2
        QCOMPARE(in->ring(5).Peg, 1);
    }

    void play_data()
    {
        QTest::addColumn<QTestEventList>("keys");
        QTest::addColumn<QString>("after"); // ring held, ring 5's peg, moves, the message's first line
        QTest::addColumn<QString>("heard");
        const int left = -Qt::LeftButton, right = -Qt::RightButton;
        const QString lifted = "5 up.";
        QTest::newRow("pick up") << events({Qt::Key_1}) << "5 1 0 " << lifted;
        QTest::newRow("put down") << events({Qt::Key_1, Qt::Key_2}) << "0 2 1 " << lifted + "|Move 1.";
        QTest::newRow("keypad") << events({Qt::Key_1, Qt::Key_3}, Qt::KeypadModifier) << "0 3 1 "
                                << lifted + "|Move 1.";
        QTest::newRow("refused") << events({Qt::Key_1, Qt::Key_4}) << "0 1 0 Peg 4 is outside of"
                                 << lifted + "|4 closed.";
        QTest::newRow("bigger on smaller") << events({Qt::Key_1, Qt::Key_2, Qt::Key_1, Qt::Key_2}) << "0 2 1 No way moving bigger ring 4"
                                           << lifted + "|Move 1.|4 up.|4 on 5 no.";
        QTest::newRow("own peg") << events({Qt::Key_1, Qt::Key_1}) << "0 1 0 " << lifted + "|Back on 1.";
        QTest::newRow("escape") << events({Qt::Key_1, Qt::Key_Escape, Qt::Key_2}) << "0 1 0 "
                                << lifted + "|Back on 1.|2 empty.";
        QTest::newRow("left past closed pegs, enter") << events({Qt::Key_1, Qt::Key_Left, Qt::Key_Return}) << "0 3 1 "
                                                      << lifted + "|Over 3.|Move 1.";
        QTest::newRow("a press takes it back") << events({Qt::Key_1, right}) << "0 1 0 " << lifted;
        QTest::newRow("keys wait for a drag") << events({left, Qt::Key_1}) << "0 1 0 " << "";
    }
    void play()
    {
        QFETCH(QTestEventList, keys);
        play(keys);
        QTEST(QStringLiteral("%1 %2 %3 %4").arg(in->keyRing()).arg(in->ring(5).Peg).arg(in->moveCount())
                  .arg(game->ShortMessage().section("\r\n", 0, 0)), "after");
        QTEST(g_heard.join('|'), "heard");
    }

    // What is not a key's own doing is heard when it happens, in one sentence.
    void heardWhenItHappens()
    {
        in->setPegs({2, 2, 2, 2, 1});
        in->moveCount() = 30;
        play(events({Qt::Key_1, Qt::Key_2, Qt::Key_2, Qt::Key_5, Qt::Key_2, Qt::Key_4}));
        QCOMPARE(g_heard.mid(1, 2), QStringList({"Next 3.", "5 up."}));
        QCOMPARE(g_heard.size(), 5); // the second refusal waits for its turn...
        clock->advance(1125);
        frame();
        QCoreApplication::processEvents();
        QCOMPARE(g_heard.mid(5), QStringList({"4 closed."})); // ...and is heard then
        in->stage() = 3; // a new triangle: its pegs are said too
        in->setPegs({3, 3, 3, 3, 2});
        play(events({Qt::Key_2, Qt::Key_3}));
        QCOMPARE(g_heard.last(), "Next 4, open 3, 4, 5.");
    }

    void heardAndSeen()
    {
        QAccessibleInterface *board = QAccessible::queryAccessibleInterface(view());
        events({Qt::Key_1, Qt::Key_4, Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_1}).simulate(view());
        QCOMPARE(at(160, 148), QColor(0, 255, 0)); // ring 4 lifted above peg 1
        QTest::keyClick(view(), Qt::Key_Right);
        QCOMPARE(at(80, 268), QColor(0, 255, 0)); // carried above peg 2
        QCOMPARE(at(160, 148), QColor(255, 255, 0));
        QCOMPARE(board->text(QAccessible::Description).section('\n', 0, -2),
                 "Target peg: 2\nOpen pegs: 1, 2, 3\nMoves: 1\nPeg 1: 1, 2, 3\nPeg 2: 5\nPeg 3: empty\nPeg 4: empty\n"
                 "Peg 5: empty\nPeg 6: empty\nHolding ring 4 from peg 1 over peg 2\n"
                 "Peg 4 is outside of the current triangle!");
        QCOMPARE(g_described, 6); // not for the empty peg nor the frames, which changed no word
        clock->advance(4500);
        frame(); // the message goes
        QCOMPARE(g_described, 7);
        form()->mnuGameAbort->trigger();
        QTest::keyClick(view(), Qt::Key_1);
        QCOMPARE(g_described, 9);
        QCOMPARE(board->text(QAccessible::Description).section('\n', 0, 2), "Game over\nMoves: 1\nPeg 1: 1, 2, 3, 4");
        QCOMPARE(board->text(QAccessible::Description).section('\n', -2, -2), "Game is not running. Hit 'New Game'!");
    }

    // A menu or a dialog of the game's own takes the mouse: the ring goes back.
    void dragEndsWhenTheBoardLosesTheMouse()
    {
        QTRY_VERIFY(view()->hasFocus()); // from the start, no click
        InfoDialog dialog("Info", {}, "", {}, form()); // Help > Info's own
        for (QWidget *cut : std::initializer_list<QWidget *>{form()->mnuGame, &dialog}) {
            press({160, 180});
            QTest::mouseMove(view(), {80, 300});
            cut == &dialog ? dialog.show() : form()->mnuGame->popup({300, 100});
            cut->activateWindow();
            QTRY_COMPARE(in->dragRing(), 0); // back on its peg, not left floating
            cut->close();
            form()->activateWindow();
            QTRY_VERIFY(view()->hasFocus()); // the board has the keys back
        }
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
