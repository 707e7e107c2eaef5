// SPDX-License-Identifier: MIT
// The frame: the board checked pixel by pixel on a 480 x 360 picture; shapes and
// text drawn from their rasterised masks exactly as the painter draws them; a frame
// that only recolours the text redraws and repaints only the text; an unchanged
// frame is not drawn again.
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

    // A frame with the text's colour pinned to steps that stay inside 0..255.
    QImage frameIn(Colour colour, bool caching = true, bool whole = true)
    {
        auto step = [colour](int shift) { return ((colour >> shift) & 0xFF) > 127 ? -3 : 5; };
        in->setColour(colour, step(0), step(8), step(16));
        if (whole)
            in->forgetShownFrame();
        PictureBox::setCaching(caching);
        const QImage img = frame().copy();
        PictureBox::setCaching(true);
        return img;
    }
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

    void textFramesMatchThePainter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<uint>("colour");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("closing, small") << "You did it in 155!\r\nIngenious" << QSize(501, 355) << 0x3080C0u << 0;
        QTest::newRow("message") << "Peg 4 is outside of\r\nthe current triangle!" << QSize(501, 355) << 0x102030u << 0;
        QTest::newRow("closing, large") << "You didn't\r\ndo it in 42..." << QSize(1600, 900) << 0xF0F0F0u << 0;
        QTest::newRow("narrow") << "A & B ~ {x}" << QSize(130, 90) << 0x00FF00u << 0;
        // Squeezed until neighbouring glyphs overlap: the painter mixes each glyph
        // in turn, the block mixes their union once, which rounds differently.
        QTest::newRow("overlapping glyphs") << "WWWWWWWW" << QSize(400, 120) << 0x0000FFu << 1;
    }
    void textFramesMatchThePainter()
    {
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QFETCH(uint, colour);
        QFETCH(int, tolerance);
        in->view()->Move(10, 0, size.width(), size.height());
        game->MoveRing(5, 2); // a ring and the stage's triangle under the text
        game->SetDisplayCentered(text);
        TextFont::setRasteriseInBackground(true); // its first frame: painted, word by word when large
        const QImage first = frameIn(colour);
        TextFont::setRasteriseInBackground(false);
        const QImage painted = frameIn(colour, false), blended = frameIn(colour);
        QCOMPARE(first, painted);
        QVERIFY(nearlyEqual(painted, blended, tolerance, tolerance ? INT_MAX : 0));
        // Only the colour changes from the frame before: the text alone is put in
        // again over the board kept under it, and must equal the whole frame.
        frameIn(colour ^ 0x404040);
        QCOMPARE(frameIn(colour, true, false), blended);
    }

    // A new text's block is rasterised on another thread: until it is there, frames
    // paint the text, exactly as the masks will.
    void aNewTextIsPaintedUntilItsMaskIsReady()
    {
        TextFont::setRasteriseInBackground(true);
        game->SetDisplayCentered("You did it in 155!\r\nIngenious");
        const QImage painted = frameIn(0x3080C0, false);
        QCOMPARE(frameIn(0x3080C0), painted); // its block not there yet: painted
        QCOMPARE(frameIn(0x3080C0), painted); // asked for now: painted meanwhile
        TextFont::waitForMasks();
        QCOMPARE(frameIn(0x3080C0), painted); // from its mask
        frameIn(0x102030);
        QCOMPARE(frameIn(0x3080C0, true, false), painted); // recoloured over the board kept
    }

    // A frame that only changes the text's colour draws and repaints the text alone:
    // a mark left far from the text in the buffer stays; any other change draws and
    // repaints the whole frame.
    void aRecolouredFrameRedrawsOnlyTheText()
    {
        struct PaintSpy : QObject // what the view is asked to repaint
        {
            QRegion painted;
            bool eventFilter(QObject *, QEvent *e) override
            {
                painted += e->type() == QEvent::Paint ? static_cast<QPaintEvent *>(e)->region() : QRegion();
                return false;
            }
        } spy;
        in->form()->show();
        QVERIFY(QTest::qWaitForWindowExposed(in->form()));
        in->view()->installEventFilter(&spy);
        auto repainted = [&] { // whether the mark stayed, and what was repainted
            spy.painted = QRegion();
            in->buffer()->pixels().setPixelColor(2, 2, QColor(1, 2, 3));
            in->buffer()->takeChanged(); // the mark itself is not a change to show
            game->Refresh();
            (void)QTest::qWaitFor([&] { return !spy.painted.isEmpty(); });
            return std::pair(px(2, 2) == QColor(1, 2, 3), spy.painted.boundingRect());
        };
        const auto whole = std::pair(false, QRect(QPoint(0, 0), in->view()->size()));
        game->SetDisplayCentered("Here");
        QCOMPARE(repainted(), whole);
        const auto [kept, text] = repainted(); // a new colour only
        QVERIFY(kept && text.contains(whole.second.center()) && whole.second.contains(text) && text != whole.second);
        game->MoveRing(5, 2);
        QCOMPARE(repainted(), whole);
        in->view()->Move(10, 0, 400, 300); // a new size
        QVERIFY(!repainted().first);
        PictureBox::setCaching(false); // the painter keeps nothing
        repainted();
        QVERIFY(!repainted().first);
        PictureBox::setCaching(true);
    }

    // Discs at every offset within a device pixel, at whole and fractional densities,
    // mixed in bands around what the painter draws and a shape cache that starts
    // afresh mid-frame: the same pixels as the painter's, in the same order.
    void shapesMatchThePainter_data()
    {
        QTest::addColumn<double>("ratio");
        for (double r : {1.0, 1.25, 1.5, 2.0})
            QTest::addRow("%g", r) << r;
    }
    void shapesMatchThePainter()
    {
        QFETCH(double, ratio);
        auto draw = [ratio](bool caching) {
            PictureBox::setCaching(caching);
            PictureBox box;
            box.setDevicePixelRatio(ratio);
            box.Move(0, 0, 300, 700);
            box.Cls();
            box.FillStyle = 0;
            for (int i = 0; i < 300; ++i) { // more distinct discs than the cache keeps
                box.ForeColor = box.FillColor = static_cast<Colour>(0x3050F0 + 0x0A0301 * i);
                box.Circle(20 + 0.937f * i, 30 + 2.171f * i, 5.0f + 8 * (i % 6));
                box.FillStyle = i % 50 == 0; // now and then a hollow one, drawn by the painter
            }
            PictureBox::setCaching(true);
            return box.Image().copy();
        };
        QCOMPARE(draw(true), draw(false));
    }

    void unchangedFrameIsNotDrawnAgain()
    {
        const qint64 first = frame().cacheKey();
        QCOMPARE(frame().cacheKey(), first);
        game->MoveRing(5, 2);
        QVERIFY(frame().cacheKey() != first);
        QCOMPARE(in->view()->picture().pixelColor(83 + 9, 295), QColor(255, 191, 191));
        game->SetShortMessage("Gone soon"); // its expiry alone changes the frame
        frame();
        clock->advance(4500);
        const QImage afterExpiry = frame();
        in->forgetShownFrame();
        QCOMPARE(frame(), afterExpiry);
    }
};

QTEST_MAIN(TestRenderer)
#include "tst_renderer.moc"
