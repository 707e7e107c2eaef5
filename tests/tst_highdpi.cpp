// SPDX-License-Identifier: MIT
// At a scale factor (2, 1.25 or 1.5, set by the test's runner in QT_SCALE_FACTOR)
// the frame is drawn at device resolution: the same geometry in logical pixels,
// the text as the painter draws it, and a frame drawn in part as it is drawn whole.
#include "testsupport.h"

#include <cmath>

class TestHighDpi : public QObject, private GameFixture
{
    Q_OBJECT

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
        const QImage board = frame();
        QCOMPARE(board.size(), QSize(std::ceil(501 * ratio), std::ceil(355 * ratio)));
        QCOMPARE(board.devicePixelRatio(), ratio);
        for (double d = 44; d <= 48; d += 0.5) // ring 1's band right of peg 1, (167, 177.5)
            QCOMPARE(board.pixelColor(qRound((167 + d) * ratio), qRound(177.5 * ratio)), QColor(255, 0, 0));
        // Where two glyphs' ink touches, the painter mixes each glyph in turn and the
        // block mixes their union once: those few pixels may differ by one.
        const auto [shown, painted] = in->textAndPainted("You did it in 155!\r\nIngenious", 0x204060);
        QVERIFY(nearlyEqual(shown, painted, 1, 28));
    }

    // Discs at fractions of a device pixel, moved and recoloured under the text:
    // each frame drawn in part is the whole frame drawn anew, but that a line drawn
    // in part is filled as its outline, a few levels off the whole one's smoothing.
    void partsMatchTheWhole()
    {
        game->SetDisplayCentered("You did it in 155!\r\nIngenious");
        frame();
        for (int i = 0; i < 12; ++i) {
            in->setDrag(5, 100 + 23.37f * i, 60 + 19.71f * i);
            const QImage part = in->frameIn(0x204060 + 0x0A0A0A * (i % 3));
            QVERIFY(area(in->buffer()->changed()) < part.width() * part.height());
            in->buffer()->invalidate();
            QVERIFY(nearlyEqual(in->frameIn(0x204060 + 0x0A0A0A * (i % 3)), part, 8, INT_MAX));
        }
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
