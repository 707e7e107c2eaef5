// SPDX-License-Identifier: MIT
// At a scale factor (2, 1.25 or 1.5, set by the test's runner in QT_SCALE_FACTOR)
// the frame is drawn at device resolution: the same geometry in logical pixels,
// and the rasterised rings, lines and text the same as the painter's.
#include "platform/picturebox.h"
#include "testsupport.h"

#include <cmath>

class TestHighDpi : public QObject, private GameFixture
{
    Q_OBJECT

    QImage frameWith(bool caching, bool whole, Colour colour)
    {
        PictureBox::setCaching(caching);
        in->setColour(colour, 2, 2, 2);
        if (whole)
            in->forgetShownFrame();
        const QImage img = frame().copy();
        PictureBox::setCaching(true);
        return img;
    }

private slots:
    void init()
    {
        start();
        QVERIFY(QTest::qWaitForWindowExposed(in->form()));
    }
    void cleanup() { stop(); }

    void drawnAtDeviceResolution()
    {
        const double ratio = in->view()->devicePixelRatioF();
        QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
        QCOMPARE(in->view()->geometry(), QRect(10, 0, 501, 355));
        in->setDrag(5, 333.3f, 111.7f); // a disc at a fraction of a device pixel
        const QImage board = frameWith(true, true, 0);
        QCOMPARE(board.size(), QSize(std::ceil(501 * ratio), std::ceil(355 * ratio)));
        QCOMPARE(board.devicePixelRatio(), ratio);
        for (double d = 44; d <= 48; d += 0.5) // ring 1's band right of peg 1, (167, 177.5)
            QCOMPARE(board.pixelColor(qRound((167 + d) * ratio), qRound(177.5 * ratio)), QColor(255, 0, 0));
        game->SetDisplayCentered("You did it in 155!\r\nIngenious");
        TextFont::setRasteriseInBackground(true); // its first frame, painted word by word
        const QImage split = frameWith(true, true, 0x204060);
        QVERIFY(nearlyEqual(frameWith(false, true, 0x204060), split, 1, 8)); // as the board's lines
        TextFont::setRasteriseInBackground(false);
        const QImage blended = frameWith(true, true, 0x204060);
        // Where two glyphs' ink touches, the painter mixes each glyph in turn and the
        // block mixes their union once: those few pixels may differ by one.
        QVERIFY(nearlyEqual(frameWith(false, true, 0x204060), blended, 1, 28));
        const QImage recoloured = frameWith(true, false, 0x604020); // only the colour changed
        QVERIFY(recoloured != blended);
        QCOMPARE(frameWith(true, true, 0x604020), recoloured);
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
