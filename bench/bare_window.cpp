// SPDX-License-Identifier: MIT
// The yardstick for start-up, memory and idle cost: a bare main window with a
// menu bar, built with the same toolkit and flags as the game.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.menuBar()->addMenu(QStringLiteral("&Game"));
    window.resize(521, 384);
    window.show();
    return app.exec();
}
