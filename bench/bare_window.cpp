// SPDX-License-Identifier: MIT
// The yardstick for start-up, memory and idle cost: a bare main window with a
// menu bar and the game's 10 Hz tick doing nothing, built with the same toolkit
// and flags as the game.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.menuBar()->addMenu(QStringLiteral("&Game"));
    window.resize(521, 384);
    window.show();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [] {});
    tick.start(100);
    return app.exec();
}
