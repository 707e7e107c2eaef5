// SPDX-License-Identifier: MIT
// A launcher's start-up feedback ("starting…" next to the pointer or in a task
// list), completed for a start that the running copy took over.
#pragma once

#include <QByteArray>

// On X11, sends the "remove" message of the startup-notification protocol for id;
// elsewhere, or without an id, does nothing.
void CompleteStartup(const QByteArray &id);
