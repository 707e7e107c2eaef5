// SPDX-License-Identifier: MIT
// Soak: a hundred thousand frames with the text over the board changing every
// ten frames. Memory stays flat and no fonts or masks pile up.
#include "platform/coveragemask.h"
#include "platform/pictureview.h"
#include "platform/textlayer.h"
#include "testsupport.h"

#include <QtTest>

#include <unistd.h>

#include <memory>

namespace {
long residentKb()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true; // the sanitizer's quarantine holds freed memory on purpose
#else
constexpr bool kSanitized = false;
#endif
} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void hundredThousandFrames()
    {
        FakeClock clock;
        auto game = std::make_unique<Game>();
        GameInspector in(*game);
        in.timer()->stop();
        const int frames = qEnvironmentVariableIntValue("SOAK_FRAMES") > 0 ? qEnvironmentVariableIntValue("SOAK_FRAMES")
                                                                           : 100000;
        const int warmUp = frames / 10;
        long settled = 0, highest = 0;
        int fonts = 0, masks = 0;
        for (int i = 0; i < frames; ++i) {
            if (i % 10 == 0) {
                // Texts of one to three lines and changing lengths, and now and then none.
                const int n = i / 10;
                QString text = n % 7 == 0 ? QString() : QStringLiteral("Frame %1").arg(i);
                for (int line = 0; line < n % 3; ++line)
                    text += QStringLiteral("\r\n") + QString(1 + n % 23, QChar('a' + line));
                game->SetDisplayCentered(text);
            }
            if (i % 1000 == 500)
                game->MoveRing(5, 4); // a short message now and then, through the queue
            clock.advance(100);
            game->Refresh();
            if (i == warmUp) {
                QCoreApplication::processEvents();
                settled = residentKb();
                fonts = TextFont::liveCount();
                masks = CoverageMask::liveCount();
            } else if (i > warmUp && i % 1000 == 0) {
                QCoreApplication::processEvents();
                highest = std::max(highest, residentKb());
                QVERIFY2(TextFont::liveCount() <= 1, qPrintable(QString::number(TextFont::liveCount())));
                QVERIFY2(CoverageMask::liveCount() <= masks + 64,
                         qPrintable(QStringLiteral("%1 masks, %2 after warm-up").arg(CoverageMask::liveCount()).arg(masks)));
            }
        }
        std::fprintf(stderr, "soak: %d frames; resident %ld kB after warm-up, at most %ld kB later; "
                             "fonts %d, masks %d after warm-up, %d and %d at the end\n",
                     frames, settled, highest, fonts, masks, TextFont::liveCount(), CoverageMask::liveCount());
        if (!kSanitized)
            QVERIFY2(highest - settled <= 2048,
                     qPrintable(QStringLiteral("resident memory grew by %1 kB").arg(highest - settled)));
        game.reset();
        QCOMPARE(TextFont::liveCount(), 0);
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
