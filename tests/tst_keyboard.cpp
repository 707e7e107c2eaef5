// SPDX-License-Identifier: MIT
// Playing by keys, the board in words for assistive tools, and a drag cut short
// when the board loses the mouse.
#include "platform/pictureview.h"
#include "ui/frmmain.h"
#include "testsupport.h"

#include <QMenu>
#include <QtGui/private/qguiapplication_p.h>
#include <QtTest>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace Qt::Literals::StringLiterals;

static int g_described = 0; // description changes the board announced

// Key clicks, and presses of a mouse button on peg 1, in their order.
static void add(QTestEventList &l, Qt::Key k, Qt::KeyboardModifiers m) { l.addKeyClick(k, m); }
static void add(QTestEventList &l, Qt::MouseButton b, Qt::KeyboardModifiers) { l.addMousePress(b, {}, {160, 180}); }
template <typename... E> QTestEventList keys(Qt::KeyboardModifiers m, E... es)
{
    QTestEventList list;
    (add(list, es, m), ...);
    return list;
}

class TestKeyboard : public QObject, private GameFixture
{
    Q_OBJECT
    PictureView *view() { return in->view(); }
    QColor at(int x, int y) { game->Refresh(); return view()->picture().pixelColor(x, y); }

private slots:
    void init()
    {
        // As when a screen reader listens: only then are accessibility events raised.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler([](QAccessibleEvent *e) { g_described += e->type() == QAccessible::DescriptionChanged; });
        start();
        view()->Move(10, 0, 480, 360); // peg 1 at (160, 180), peg 2 at (80, 300)
        g_described = 0;
    }
    void cleanup() { stop(); }

    void play_data()
    {
        QTest::addColumn<QTestEventList>("events");
        QTest::addColumn<QString>("after"); // ring held, ring 5's peg, moves, the message's first line
        QTest::newRow("pick up") << keys({}, Qt::Key_1) << u"5 1 0 "_s;
        QTest::newRow("put down") << keys({}, Qt::Key_1, Qt::Key_2) << u"0 2 1 "_s;
        QTest::newRow("keypad") << keys(Qt::KeypadModifier, Qt::Key_1, Qt::Key_3) << u"0 3 1 "_s;
        QTest::newRow("refused") << keys({}, Qt::Key_1, Qt::Key_4) << u"0 1 0 Peg 4 is outside of"_s;
        QTest::newRow("own peg") << keys({}, Qt::Key_1, Qt::Key_1) << u"0 1 0 "_s;
        QTest::newRow("escape") << keys({}, Qt::Key_1, Qt::Key_Escape, Qt::Key_2) << u"0 1 0 "_s;
        QTest::newRow("empty peg") << keys({}, Qt::Key_3) << u"0 1 0 "_s;
        QTest::newRow("left past closed pegs, enter") << keys({}, Qt::Key_1, Qt::Key_Left, Qt::Key_Return) << u"0 3 1 "_s;
        QTest::newRow("a press takes it back") << keys({}, Qt::Key_1, Qt::RightButton) << u"0 1 0 "_s;
        QTest::newRow("keys wait for a drag") << keys({}, Qt::LeftButton, Qt::Key_1) << u"0 1 0 "_s;
    }
    void play()
    {
        QFETCH(QTestEventList, events);
        events.simulate(view());
        QTEST(u"%1 %2 %3 %4"_s.arg(game->keyRing()).arg(in->ring(5).Peg).arg(in->moveCount())
                  .arg(game->ShortMessage().section(u"\r\n"_s, 0, 0)), "after");
    }

    void heardAndSeen()
    {
        QAccessibleInterface *board = QAccessible::queryAccessibleInterface(view());
        keys({}, Qt::Key_1, Qt::Key_4, Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_1).simulate(view());
        QCOMPARE(at(160, 148), QColor(0, 255, 0)); // ring 4 lifted above peg 1
        QTest::keyClick(view(), Qt::Key_Right);
        QCOMPARE(at(80, 268), QColor(0, 255, 0)); // carried above peg 2
        QCOMPARE(at(160, 148), QColor(255, 255, 0));
        QCOMPARE(board->text(QAccessible::Description),
                 u"Target peg: 2\nOpen pegs: 1, 2, 3\nMoves: 1\nPeg 1: 1, 2, 3\nPeg 2: 5\nPeg 3: empty\nPeg 4: empty\n"
                 "Peg 5: empty\nPeg 6: empty\nHolding ring 4 from peg 1 over peg 2\n"
                 "Peg 4 is outside of the current triangle!"_s);
        QCOMPARE(g_described, 6); // not for the empty peg nor the frames, which changed no word
        clock->advance(4500);
        game->Refresh(); // the message goes
        QCOMPARE(g_described, 7);
        in->form()->mnuGameAbort->trigger();
        QTest::keyClick(view(), Qt::Key_1);
        QCOMPARE(g_described, 9);
        QCOMPARE(board->text(QAccessible::Description).section('\n', 0, 2), u"Game over\nMoves: 1\nPeg 1: 1, 2, 3, 4"_s);
        QVERIFY(board->text(QAccessible::Description).endsWith(u"\nGame is not running. Hit 'New Game'!"_s));
    }

    void dragEndsWhenTheBoardLosesTheMouse()
    {
        QTRY_VERIFY(view()->hasFocus()); // from the start, no click
        QWidget other;
        for (bool popup : {true, false}) { // a menu pops up, another window takes the focus
            QTest::mousePress(view(), Qt::LeftButton, {}, {160, 180});
            QTest::mouseMove(view(), {300, 100});
            popup ? in->form()->mnuGame->popup({300, 100}) : other.show();
            other.activateWindow();
            QTRY_COMPARE(in->dragRing(), 0); // back on its peg, not left floating
            in->form()->mnuGame->close();
            other.close();
            in->form()->activateWindow();
            QTRY_VERIFY(view()->hasFocus()); // the board has the keys back
        }
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
