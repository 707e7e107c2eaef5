// SPDX-License-Identifier: MIT
// Reporting an error that escaped an event handler: standard error and a message
// box, then the program carries on with the next event.
#pragma once

#include <exception>
#include <utility>

namespace ErrorReport {
// Reports the error currently being handled (call from a catch block).
void ReportCurrent(const char *where) noexcept;

// Runs fn; an exception it throws is reported instead of escaping into the event loop.
template <typename Fn>
void Guarded(const char *where, Fn &&fn) noexcept
{
    try {
        std::forward<Fn>(fn)();
    } catch (...) {
        ReportCurrent(where);
    }
}
} // namespace ErrorReport
