// SPDX-License-Identifier: MIT
// A launcher's start-up feedback ("starting…" next to the pointer or in a task
// list), completed for a start that the running copy took over, and the
// launcher's time, with which that copy's window is activated on X11.
#pragma once

#include <QByteArray>

#include <cstdint>

class QWindow;

// On X11, sends the "remove" message of the startup-notification protocol for id;
// elsewhere, or without an id, does nothing.
void CompleteStartup(const QByteArray &id);
// The X server time of the user's action that started the launch, from an id that
// ends in "_TIME<n>"; 0 when it has none.
std::uint32_t LaunchTime(const QByteArray &id);
// On X11, asks the window manager to activate window for a user's action at time:
// window managers that refuse an older time than the user's last action elsewhere
// let this one through. False where it cannot be asked (not X11, or time 0).
bool RequestActivation(QWindow *window, std::uint32_t time);
