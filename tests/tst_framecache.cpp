// SPDX-License-Identifier: MIT
// Frames drawn from rasterised shapes and text look exactly as frames drawn by
// the painter; a frame that only recolours the text redraws and repaints only the
// text; an unchanged frame is not drawn again.
#include "platform/picturebox.h"
#include "testsupport.h"

class TestFrameCache : public QObject, private GameFixture
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

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

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
        const QImage painted = frameIn(colour, false), blended = frameIn(colour);
        QVERIFY(nearlyEqual(painted, blended, tolerance, tolerance ? INT_MAX : 0));
        // Only the colour changes from the frame before: the text alone is put in
        // again over the board kept under it, and must equal the whole frame.
        frameIn(colour ^ 0x404040);
        QCOMPARE(frameIn(colour, true, false), blended);
    }

    void onlyTheTextIsDrawnWhenOnlyItsColourChanges()
    {
        game->SetDisplayCentered("Over the board");
        frame();
        // A mark far from the text, in the buffer only: a whole frame clears it.
        auto kept = [this] {
            in->buffer()->pixels().setPixelColor(2, 2, QColor(1, 2, 3));
            return frame().pixelColor(2, 2) == QColor(1, 2, 3);
        };
        QVERIFY(kept());
        game->MoveRing(5, 2); // the board changes
        QVERIFY(!kept());
        in->view()->Move(10, 0, 400, 300); // the size changes
        QVERIFY(!kept());
        PictureBox::setCaching(false); // the painter keeps nothing
        frame();
        QVERIFY(!kept());
        PictureBox::setCaching(true);
    }

    void aRecolouredFrameRepaintsOnlyTheText()
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
        auto repainted = [&] {
            spy.painted = QRegion();
            game->Refresh();
            (void)QTest::qWaitFor([&] { return !spy.painted.isEmpty(); });
            return spy.painted.boundingRect();
        };
        const QRect whole(QPoint(0, 0), in->view()->size());
        game->SetDisplayCentered("Here");
        QCOMPARE(repainted(), whole);
        const QRect text = repainted(); // a new colour only
        QVERIFY(text.contains(whole.center()) && whole.contains(text) && text != whole);
        game->MoveRing(5, 2);
        QCOMPARE(repainted(), whole);
    }

    // Discs at every offset within a device pixel, at whole and fractional densities,
    // mixed in bands around what the painter draws, a clear, and a shape cache that
    // starts afresh mid-frame: the same pixels as the painter's, in the same order.
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
            const QImage first = box.Image().copy();
            box.Circle(100, 100, 40);
            box.Cls(); // what waits before a clear is dropped, not drawn
            box.Circle(150, 350, 20);
            PictureBox::setCaching(true);
            return std::pair(first, box.Image().copy());
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

QTEST_MAIN(TestFrameCache)
#include "tst_framecache.moc"
