// SPDX-License-Identifier: MIT
// Playing by keys, and a drag cut short when the board loses the mouse.
#include "platform/pictureview.h"
#include "ui/frmmain.h"
#include "testsupport.h"

#include <QMenu>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

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
        start();
        view()->Move(10, 0, 480, 360); // peg 1 at (160, 180), peg 2 at (80, 300)
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

    void heldRingIsLiftedAndCarried()
    {
        QTest::keyClick(view(), Qt::Key_1);
        QCOMPARE(at(160, 152), QColor(255, 191, 191)); // ring 5 lifted above peg 1, off ring 4
        QCOMPARE(at(170, 180), QColor(0, 255, 0));
        QTest::keyClick(view(), Qt::Key_Right);
        QCOMPARE(at(80, 276), QColor(255, 191, 191)); // carried above peg 2
        QCOMPARE(at(160, 152), QColor(255, 255, 0));
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
