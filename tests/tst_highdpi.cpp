// SPDX-License-Identifier: MIT
// At a scale factor of 2 the frame is drawn at device resolution: sharp edges, the
// same geometry in logical pixels.
#include "platform/picturebox.h"
#include "platform/pictureview.h"
#include "testsupport.h"
#include "ui/frmmain.h"

#include <QtTest>

#include <memory>

class TestHighDpi : public QObject
{
    Q_OBJECT

    std::unique_ptr<Game> game;
    std::unique_ptr<GameInspector> in;

private slots:
    void init()
    {
        game = std::make_unique<Game>();
        in = std::make_unique<GameInspector>(*game);
        in->timer()->stop();
        QVERIFY(QTest::qWaitForWindowExposed(in->form()));
    }
    void cleanup()
    {
        in.reset();
        game.reset();
    }

    void logicalGeometryIsUnchanged()
    {
        QCOMPARE(in->view()->devicePixelRatioF(), 2.0);
        QCOMPARE(in->view()->geometry(), QRect(10, 0, 501, 355));
        game->Refresh();
        const QImage img = in->view()->picture();
        QCOMPARE(img.size(), QSize(1002, 710));
        QCOMPARE(img.devicePixelRatio(), 2.0);
        QCOMPARE(img.deviceIndependentSize(), QSizeF(501, 355));
    }

    void ringEdgeIsSharp()
    {
        in->view()->Move(10, 0, 480, 360);
        game->Refresh();
        const QImage img = in->view()->picture();
        // Peg 1 at logical (160, 180): device centre (321, 361); ring 1's edge 100 device pixels out.
        const int cx = 321, cy = 361, edge = cx + 100;
        for (int x = cx + 86; x <= edge - 2; ++x)
            QCOMPARE(img.pixelColor(x, cy), QColor(255, 0, 0));
        for (int x = edge + 2; x <= edge + 12; ++x)
            QCOMPARE(img.pixelColor(x, cy), QColor(255, 255, 255));
        // Peg dot: radius 5 logical is 10 device pixels, black to the rings' pink within 2.
        QCOMPARE(img.pixelColor(cx + 7, cy), QColor(0, 0, 0));
        QCOMPARE(img.pixelColor(cx + 12, cy), QColor(255, 191, 191));
    }

    // The text is rasterised and recoloured at device resolution too, to the bit.
    void textAtDeviceResolutionIsExact()
    {
        auto frame = [&](bool caching, bool whole, Colour colour) {
            PictureBox::setCaching(caching);
            in->setOverlayColour(colour);
            in->stepRed() = in->stepGreen() = in->stepBlue() = 2;
            if (whole)
                in->forgetShownFrame();
            game->Refresh();
            PictureBox::setCaching(true);
            return in->view()->picture().copy();
        };
        game->MoveRing(5, 2);
        game->SetDisplayCentered("You did it in 155!\r\nIngenious");
        const QImage painted = frame(false, true, 0x204060);
        const QImage blended = frame(true, true, 0x204060);
        // Where two glyphs' ink touches, the painter mixes each glyph in turn and the
        // block mixes their union once: those few pixels may differ by one.
        const PixelDifference d = pixelDifference(painted, blended);
        QVERIFY(d.worst <= 1);
        QVERIFY2(d.count <= 20, qPrintable(QString::number(d.count)));
        const QImage recoloured = frame(true, false, 0x604020); // only the colour changed
        QCOMPARE(recoloured.size(), QSize(1002, 710));
        QVERIFY(recoloured != blended);
        QCOMPARE(frame(true, true, 0x604020), recoloured);
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestHighDpi test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_highdpi.moc"
