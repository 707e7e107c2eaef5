// SPDX-License-Identifier: MIT
// The application object: reports an error that escaped an event handler and
// carries on with the next event.
#pragma once

#include <QApplication>

class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    // True when a graphical display can be reached (or a platform was chosen).
    static bool displayAvailable();
};
