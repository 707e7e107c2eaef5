// SPDX-License-Identifier: MIT
// Frames drawn with the rasterised text block look exactly as frames drawn by the
// painter every time, and unchanged frames are not drawn again.
#include "platform/pictureview.h"
#include "ui/frmmain.h"
#include "platform/picturebox.h"
#include "testsupport.h"

#include <QtTest>

#include <memory>

class TestFrameCache : public QObject, private GameFixture
{
    Q_OBJECT

    // One frame with the overlay colour and its steps pinned, so both ways see the same.
    QImage frameWith(bool caching, Colour colour)
    {
        PictureBox::setCaching(caching);
        in->setOverlayColour(colour);
        in->stepRed() = 1;
        in->stepGreen() = 1;
        in->stepBlue() = 1;
        in->forgetShownFrame();
        game->Refresh();
        PictureBox::setCaching(true);
        return in->view()->picture().copy();
    }

    // The colour and steps that stay inside 0..255, so no random bounce comes in.
    void pinColour(Colour colour)
    {
        in->setOverlayColour(colour);
        auto step = [](Colour c, int shift) { return ((c >> shift) & 0xFF) > 127 ? -3 : 5; };
        in->stepRed() = step(colour, 0);
        in->stepGreen() = step(colour, 8);
        in->stepBlue() = step(colour, 16);
    }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void textBlockMatchesThePainter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<uint>("colour");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("closing, small") << "You did it in 155!\r\nIngenious" << QSize(501, 355) << 0x3080C0u << 0;
        QTest::newRow("message, small") << "Peg 4 is outside of\r\nthe current triangle!" << QSize(501, 355)
                                        << 0x102030u << 0;
        QTest::newRow("closing, large") << "You didn't\r\ndo it in 42..." << QSize(1600, 900) << 0xF0F0F0u << 0;
        QTest::newRow("narrow") << "A & B ~ {x}" << QSize(130, 90) << 0x00FF00u << 0;
        // Squeezed so hard that neighbouring glyphs overlap: the painter blends each
        // glyph in turn, the block blends their union once, which rounds differently.
        QTest::newRow("overlapping glyphs") << "WWWWWWWW" << QSize(400, 120) << 0x0000FFu << 1;
    }
    void textBlockMatchesThePainter()
    {
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QFETCH(uint, colour);
        QFETCH(int, tolerance);
        in->view()->Move(10, 0, size.width(), size.height());
        game->SetDisplayCentered(text);
        game->Refresh(); // builds the font for this size
        const QImage painted = frameWith(false, colour);
        const QImage blended = frameWith(true, colour);
        QCOMPARE(blended.size(), painted.size());
        const PixelDifference d = pixelDifference(painted, blended);
        QVERIFY2(d.worst <= tolerance, qPrintable(QStringLiteral("%1 pixels differ, by up to %2").arg(d.count).arg(d.worst)));
        if (tolerance == 0)
            QCOMPARE(d.count, 0);
    }

    // A frame that only changes the text's colour puts the text in again over the
    // board kept from the frame before; it must equal the whole frame drawn anew.
    void recolouredTextMatchesAWholeFrame_data() { textBlockMatchesThePainter_data(); }
    void recolouredTextMatchesAWholeFrame()
    {
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QFETCH(uint, colour);
        in->view()->Move(10, 0, size.width(), size.height());
        game->MoveRing(5, 2); // a ring and the stage's triangle under the text
        game->SetDisplayCentered(text);
        in->setOverlayColour(0x808080);
        game->Refresh(); // the whole frame, keeping what lies under the text
        pinColour(colour);
        game->Refresh(); // the text alone, recoloured
        const QImage recoloured = in->view()->picture().copy();

        pinColour(colour);
        in->forgetShownFrame();
        game->Refresh(); // the same frame, drawn whole
        QCOMPARE(recoloured, in->view()->picture());
    }

    void onlyTheTextIsDrawnWhenOnlyItsColourChanges()
    {
        game->SetDisplayCentered("Over the board");
        game->Refresh();
        // A mark far from the text, in the buffer only: a whole frame would clear it.
        const QColor mark(1, 2, 3);
        in->buffer()->pixels().setPixelColor(2, 2, mark);
        game->Refresh();
        QCOMPARE(in->view()->picture().pixelColor(2, 2), mark);

        game->MoveRing(5, 2); // the board changes: everything is drawn again
        game->Refresh();
        QCOMPARE(in->view()->picture().pixelColor(2, 2), QColor(Qt::white));
        in->buffer()->pixels().setPixelColor(2, 2, mark);
        in->view()->Move(10, 0, 400, 300); // so does the size
        game->Refresh();
        QCOMPARE(in->view()->picture().pixelColor(2, 2), QColor(Qt::white));

        PictureBox::setCaching(false); // drawn by the painter, nothing is kept
        game->Refresh();
        in->buffer()->pixels().setPixelColor(2, 2, mark);
        game->Refresh();
        PictureBox::setCaching(true);
        QCOMPARE(in->view()->picture().pixelColor(2, 2), QColor(Qt::white));
    }

    void aRecolouredFrameRepaintsOnlyTheText()
    {
        // What the view is asked to repaint, as its paint events show it.
        struct PaintSpy : QObject
        {
            QRegion painted;
            bool eventFilter(QObject *, QEvent *e) override
            {
                if (e->type() == QEvent::Paint)
                    painted += static_cast<QPaintEvent *>(e)->region();
                return false;
            }
        } spy;
        PictureView *view = in->view();
        in->form()->show();
        QVERIFY(QTest::qWaitForWindowExposed(in->form()));
        view->installEventFilter(&spy);
        const QRect whole(QPoint(0, 0), view->size());

        game->SetDisplayCentered("Here");
        game->Refresh();
        QTRY_VERIFY(!spy.painted.isEmpty());
        QCOMPARE(spy.painted.boundingRect(), whole);

        spy.painted = QRegion();
        game->Refresh(); // a new colour only
        QTRY_VERIFY(!spy.painted.isEmpty());
        const QRect text = spy.painted.boundingRect();
        QVERIFY2(whole.contains(text) && text.width() < whole.width() && text.height() < whole.height(),
                 qPrintable(QStringLiteral("repainted %1,%2 %3x%4").arg(text.x()).arg(text.y())
                                .arg(text.width()).arg(text.height())));
        QVERIFY(text.contains(whole.center())); // the text sits in the middle

        spy.painted = QRegion();
        game->MoveRing(5, 2);
        game->Refresh();
        QTRY_VERIFY(!spy.painted.isEmpty());
        QCOMPARE(spy.painted.boundingRect(), whole);
        view->removeEventFilter(&spy);
    }

    // Shapes wait to be mixed in bands; what the painter draws in between, and a
    // shape cache that starts afresh mid-frame, must not change what comes out.
    void waitingShapesKeepTheirOrder()
    {
        auto draw = [](bool caching) {
            PictureBox::setCaching(caching);
            PictureBox box;
            box.Move(0, 0, 300, 700);
            box.Cls();
            box.ForeColor = 0x0000FF;
            box.Line(10, 10, 290, 60);
            box.FillStyle = 1; // hollow: drawn by the painter, over the line
            box.ForeColor = 0x000000;
            box.Circle(150, 35, 30);
            box.FillStyle = 0; // a disc over both
            box.ForeColor = box.FillColor = 0xFF8000;
            box.Circle(160, 40, 12);
            // More distinct lines than the cache keeps, down the whole height.
            for (int i = 0; i < 100; ++i) {
                box.ForeColor = static_cast<Colour>(0x010203 * i);
                box.Line(5 + i, 80 + 6 * i, 295 - i, 90 + 6 * i);
            }
            box.Cls(); // what waits before a clear is dropped, not drawn
            box.ForeColor = 0x00FF00;
            box.Line(0, 0, 299, 699);
            box.Circle(150, 350, 20);
            QImage first = box.Image().copy();
            box.Line(299, 0, 0, 699); // after the picture was taken: drawn on it
            PictureBox::setCaching(true);
            return std::pair(first, box.Image().copy());
        };
        const auto painted = draw(false);
        const auto blended = draw(true);
        QCOMPARE(blended.first, painted.first);
        QCOMPARE(blended.second, painted.second);
        QVERIFY(blended.first != blended.second);
    }

    void unchangedFrameIsNotDrawnAgain()
    {
        game->Refresh();
        const qint64 first = in->view()->picture().cacheKey();
        game->Refresh();
        QCOMPARE(in->view()->picture().cacheKey(), first); // nothing new was shown

        game->MoveRing(5, 2);
        game->Refresh();
        QVERIFY(in->view()->picture().cacheKey() != first);
        QCOMPARE(in->view()->picture().pixelColor(83 + 9, 295), QColor(255, 191, 191));
    }

    void messageExpiryIsShownWithoutOtherChanges()
    {
        game->SetShortMessage("Gone soon");
        game->Refresh();
        clock->advance(4500);
        game->Refresh();
        const QImage afterExpiry = in->view()->picture();
        in->forgetShownFrame();
        game->Refresh();
        QCOMPARE(in->view()->picture(), afterExpiry);
    }
};

QTEST_MAIN(TestFrameCache)
#include "tst_framecache.moc"
