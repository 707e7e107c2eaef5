// SPDX-License-Identifier: MIT
// A measurement, not a test: a hundred thousand frames with the text over the
// board changing every ten frames and a short message every thousand. Prints the
// resident memory after warm-up and at most after it.
//   soak_memory [FRAMES]    (run with QT_QPA_PLATFORM=offscreen)
#include "game/game.h"
#include "platform/clock.h"
#include "ui/frmmain.h"

#include <QApplication>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
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
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 100000;
    std::uint32_t now = 1000;
    Clock::setTickSource([&now] { return now; });
    auto game = std::make_unique<Game>();
    game->MainForm()->tmrTimer->stop();
    const int warmUp = frames / 10;
    long settled = 0, highest = 0;
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
            game->MoveRing(5, 4); // a refusal now and then, through the queue
        now += 100;
        game->Refresh();
        if (i == warmUp) {
            QCoreApplication::processEvents();
            settled = residentKb();
        } else if (i > warmUp && i % 1000 == 0) {
            QCoreApplication::processEvents();
            highest = std::max(highest, residentKb());
        }
    }
    std::printf("frames               %d\n"
                "resident after warm-up  %ld kB\n"
                "resident at most later  %ld kB (%+ld kB)\n",
                frames, settled, highest, highest - settled);
    game.reset();
    return 0;
}
