// SPDX-License-Identifier: MIT
// The board frame, checked pixel by pixel on a 480 x 360 picture.
#include "platform/picturebox.h"
#include "platform/pictureview.h"
#include "testsupport.h"

#include <QtTest>

#include <memory>

namespace {
const QColor kWhite(255, 255, 255), kBlack(0, 0, 0), kCyan(0, 255, 255);
const QColor kRed(255, 0, 0), kOrange(255, 127, 0), kYellow(255, 255, 0), kGreen(0, 255, 0),
    kPink(255, 191, 191);

bool isDark(QColor c)
{
    return c.red() < 128 && c.green() < 128 && c.blue() < 128;
}
} // namespace

class TestRenderer : public QObject
{
    Q_OBJECT

    std::unique_ptr<Game> game;
    std::unique_ptr<GameInspector> in;

    QColor px(int x, int y) const { return in->view()->picture().pixelColor(x, y); }
    void frame()
    {
        game->Refresh();
        QCOMPARE(in->view()->picture().size(), QSize(480, 360));
    }
    // The colours from a peg's centre outwards, sampled inside each band.
    QList<QColor> bands(int cx, int cy) const
    {
        return {px(cx, cy), px(cx + 9, cy), px(cx + 22, cy), px(cx + 30, cy), px(cx + 38, cy), px(cx + 46, cy)};
    }

private slots:
    void init()
    {
        game = std::make_unique<Game>();
        in = std::make_unique<GameInspector>(*game);
        in->timer()->stop(); // frames only when the test asks
        in->view()->Move(10, 0, 480, 360);
    }
    void cleanup()
    {
        in.reset();
        game.reset();
    }

    void workedFrameAfterNewGame()
    {
        frame();
        // Outline corners and its base.
        QVERIFY(isDark(px(240, 0)));
        QVERIFY(isDark(px(0, 359)));
        QVERIFY(isDark(px(479, 359)));
        QCOMPARE(px(300, 359), kBlack);
        // Stage triangle around pegs 1, 2, 3: its base is exact, its apex dark.
        QCOMPARE(px(100, 330), kBlack);
        QVERIFY(isDark(px(40, 330)));
        QVERIFY(isDark(px(280, 330)));
        QVERIFY(isDark(px(100, 240)));  // on the edge from A to the apex
        QCOMPARE(px(160, 150), kYellow); // the apex lies under the rings
        QCOMPARE(px(360, 330), kWhite); // no other triangle
        // Peg dots: only peg 2 is cyan; peg 1 is under the rings.
        QCOMPARE(px(80, 300), kCyan);
        for (QPoint p : {QPoint(160, 180), QPoint(240, 300), QPoint(400, 300), QPoint(320, 180), QPoint(240, 60)})
            QCOMPARE(px(p.x(), p.y()), kBlack);
        QCOMPARE(px(84, 300), kCyan);  // radius 5 ...
        QCOMPARE(px(87, 300), kWhite); // ... and no more
        // The whole tower on peg 1: concentric bands, smallest on top.
        QCOMPARE(bands(160, 180), (QList<QColor>{kBlack, kPink, kGreen, kYellow, kOrange, kRed}));
        QCOMPARE(px(160 + 53, 180), kWhite);
        QCOMPARE(px(160, 180 - 46), kRed);
    }

    void stageTrianglesAndTargetDots_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<QList<QPoint>>("corners");
        QTest::addColumn<QList<int>>("cyanPegs");
        const QList<QPoint> left{{40, 330}, {280, 330}, {160, 150}};
        const QList<QPoint> right{{200, 330}, {440, 330}, {320, 150}};
        const QList<QPoint> top{{120, 210}, {360, 210}, {240, 30}};
        QTest::newRow("1") << 1 << left << QList<int>{1};
        QTest::newRow("2") << 2 << left << QList<int>{2};
        QTest::newRow("3") << 3 << left << QList<int>{3};
        QTest::newRow("4") << 4 << right << QList<int>{4};
        QTest::newRow("5") << 5 << right << QList<int>{5};
        QTest::newRow("6") << 6 << top << QList<int>{6};
        QTest::newRow("7") << 7 << top << QList<int>{1, 2, 3, 4, 5, 6};
    }
    void stageTrianglesAndTargetDots()
    {
        QFETCH(int, stage);
        QFETCH(QList<QPoint>, corners);
        QFETCH(QList<int>, cyanPegs);
        // The tower stands where it covers no corner of the triangle under test.
        for (int r = 1; r <= 5; ++r)
            in->ring(r).Peg = (stage == 4 || stage == 5) ? 2 : 4;
        in->stage() = stage;
        frame();
        for (QPoint c : corners)
            QVERIFY2(isDark(px(c.x(), c.y())), qPrintable(QStringLiteral("corner %1,%2").arg(c.x()).arg(c.y())));
        // Each base is a horizontal line: its middle pixel is exactly black.
        QCOMPARE(px((corners[0].x() + corners[1].x()) / 2 - 30, corners[0].y()), kBlack);
        const QPoint dots[] = {{}, {160, 180}, {80, 300}, {240, 300}, {400, 300}, {320, 180}, {240, 60}};
        for (int p = 1; p <= 6; ++p)
            QCOMPARE(px(dots[p].x(), dots[p].y()), cyanPegs.contains(p) ? kCyan : kBlack);
    }

    void pegWithRingsOneThreeFive()
    {
        in->ring(2).Peg = 3;
        in->ring(4).Peg = 3;
        frame();
        QCOMPARE(bands(160, 180), (QList<QColor>{kBlack, kPink, kYellow, kYellow, kRed, kRed}));
        QCOMPARE(bands(240, 300), (QList<QColor>{kBlack, kGreen, kGreen, kOrange, kOrange, kWhite}));
    }

    void draggedRingIsOnTopAndMissingFromItsPeg()
    {
        in->dragRing() = 5;
        in->dragX() = 400;
        in->dragY() = 300; // right over peg 4's dot
        frame();
        QCOMPARE(px(400, 300), kPink);
        QCOMPARE(px(409, 300), kPink);
        QCOMPARE(bands(160, 180), (QList<QColor>{kBlack, kGreen, kGreen, kYellow, kOrange, kRed}));

        in->dragRing() = 0; // the position alone draws nothing
        frame();
        QCOMPARE(px(400, 300), kBlack);
        QCOMPARE(px(409, 300), kWhite);
    }

    void sizeRoundsHalfToEven()
    {
        // 400.5 draws as 400 wide, 401.5 as 402: the base line ends at W - 1.
        in->buffer()->Move(10, 0, 400.5, 300);
        game->Refresh();
        QImage img = in->view()->picture();
        QCOMPARE(img.pixelColor(399, 299), kBlack);
        QCOMPARE(img.pixelColor(400, 299), kWhite);

        in->buffer()->Move(10, 0, 401.5, 300);
        game->Refresh();
        img = in->view()->picture();
        QCOMPARE(img.width(), 402);
        QCOMPARE(img.pixelColor(401, 299), kBlack);
        QCOMPARE(img.pixelColor(400, 299), kBlack);
    }

    void badRingPegStopsTheFrame()
    {
        frame();
        const QImage before = in->view()->picture();
        in->ring(3).Peg = 9;
        QVERIFY_THROWS_EXCEPTION(std::exception, game->Refresh());
        QCOMPARE(in->view()->picture(), before); // the last good frame stays
    }
};

QTEST_MAIN(TestRenderer)
#include "tst_renderer.moc"
