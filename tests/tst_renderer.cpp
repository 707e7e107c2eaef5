// SPDX-License-Identifier: MIT
// The board frame, checked pixel by pixel on a 480 x 360 picture.
#include "platform/picturebox.h"
#include "testsupport.h"

namespace {
const QColor kWhite(255, 255, 255), kBlack(0, 0, 0), kCyan(0, 255, 255);
const QColor kRed(255, 0, 0), kOrange(255, 127, 0), kYellow(255, 255, 0), kGreen(0, 255, 0), kPink(255, 191, 191);
const QPoint kDots[] = {{}, {160, 180}, {80, 300}, {240, 300}, {400, 300}, {320, 180}, {240, 60}};

bool isDark(QColor c)
{
    return c.red() < 128 && c.green() < 128 && c.blue() < 128;
}
} // namespace

class TestRenderer : public QObject, private GameFixture
{
    Q_OBJECT

    QColor px(int x, int y) const { return in->view()->picture().pixelColor(x, y); }
    // The colours from a peg's centre outwards, one inside each ring's band.
    QList<QColor> bands(QPoint c) const
    {
        QList<QColor> list;
        for (int d : {0, 9, 22, 30, 38, 46})
            list << px(c.x() + d, c.y());
        return list;
    }

private slots:
    void init()
    {
        start();
        in->view()->Move(10, 0, 480, 360);
    }
    void cleanup() { stop(); }

    void workedFrameAfterNewGame()
    {
        QCOMPARE(frame().size(), QSize(480, 360));
        for (QPoint p : {QPoint(240, 0), QPoint(0, 359), QPoint(479, 359), QPoint(40, 330), QPoint(280, 330),
                         QPoint(100, 240)}) // outline corners, stage triangle corners, its left edge
            QVERIFY2(isDark(px(p.x(), p.y())), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        QCOMPARE(px(300, 359), kBlack); // the outline's base
        QCOMPARE(px(100, 330), kBlack); // the triangle's base
        QCOMPARE(px(360, 330), kWhite); // no other triangle
        QCOMPARE(px(84, 300), kCyan);   // peg 2's dot, radius 5 ...
        QCOMPARE(px(87, 300), kWhite);  // ... and no more
        QCOMPARE(bands(kDots[1]), (QList{kBlack, kPink, kGreen, kYellow, kOrange, kRed}));
        QCOMPARE(px(160 + 53, 180), kWhite);
        QCOMPARE(px(160, 180 - 46), kRed);
    }

    void stageTrianglesAndTargetDots_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<QList<QPoint>>("corners");
        QTest::addColumn<QList<int>>("cyanPegs");
        const QList<QPoint> left{{40, 330}, {280, 330}, {160, 150}}, right{{200, 330}, {440, 330}, {320, 150}},
            top{{120, 210}, {360, 210}, {240, 30}};
        QTest::newRow("1") << 1 << left << QList{1};
        QTest::newRow("3") << 3 << left << QList{3};
        QTest::newRow("4") << 4 << right << QList{4};
        QTest::newRow("5") << 5 << right << QList{5};
        QTest::newRow("6") << 6 << top << QList{6};
        QTest::newRow("7") << 7 << top << QList{1, 2, 3, 4, 5, 6};
    }
    void stageTrianglesAndTargetDots()
    {
        QFETCH(int, stage);
        QFETCH(QList<QPoint>, corners);
        QFETCH(QList<int>, cyanPegs);
        for (int r = 1; r <= 5; ++r) // where the tower covers no corner of the triangle
            in->ring(r).Peg = (stage == 4 || stage == 5) ? 2 : 4;
        in->stage() = stage;
        frame();
        for (QPoint c : corners)
            QVERIFY2(isDark(px(c.x(), c.y())), qPrintable(QStringLiteral("corner %1,%2").arg(c.x()).arg(c.y())));
        QCOMPARE(px((corners[0].x() + corners[1].x()) / 2 - 30, corners[0].y()), kBlack);
        for (int p = 1; p <= 6; ++p)
            QCOMPARE(px(kDots[p].x(), kDots[p].y()), cyanPegs.contains(p) ? kCyan : kBlack);
    }

    void ringsAndTheDraggedRing()
    {
        in->ring(2).Peg = 3;
        in->ring(4).Peg = 3;
        frame();
        QCOMPARE(bands(kDots[1]), (QList{kBlack, kPink, kYellow, kYellow, kRed, kRed}));
        QCOMPARE(bands(kDots[3]), (QList{kBlack, kGreen, kGreen, kOrange, kOrange, kWhite}));

        in->setDrag(5, 400, 300); // right over peg 4's dot
        frame();
        QCOMPARE(px(400, 300), kPink);
        QCOMPARE(px(409, 300), kPink);
        QCOMPARE(bands(kDots[1]), (QList{kBlack, kYellow, kYellow, kYellow, kRed, kRed}));
        in->setDrag(0, 400, 300); // the position alone draws nothing
        frame();
        QCOMPARE(px(400, 300), kBlack);
        QCOMPARE(px(409, 300), kWhite);
    }

    void sizeRoundsHalfToEven()
    {
        // 400.5 draws as 400 wide, 401.5 as 402: the base line ends at W - 1.
        in->buffer()->Move(10, 0, 400.5, 300);
        QCOMPARE(frame().pixelColor(399, 299), kBlack);
        QCOMPARE(px(400, 299), kWhite);
        in->buffer()->Move(10, 0, 401.5, 300);
        QCOMPARE(frame().width(), 402);
        QCOMPARE(px(401, 299), kBlack);
    }

    void badRingPegStopsTheFrame()
    {
        const QImage before = frame();
        in->ring(3).Peg = 9;
        QVERIFY_THROWS_EXCEPTION(std::exception, game->Refresh());
        QCOMPARE(in->view()->picture(), before); // the last good frame stays
    }
};

QTEST_MAIN(TestRenderer)
#include "tst_renderer.moc"
