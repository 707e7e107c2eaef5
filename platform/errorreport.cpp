// SPDX-License-Identifier: MIT
// Error report: one line on standard error and a warning box.
#include "errorreport.h"

#include "messagebox.h"

#include <QCoreApplication>

#include <cstdio>

void ErrorReport::ReportCurrent(const char *where) noexcept
{
    QString text;
    try {
        throw;
    } catch (const std::exception &e) { // AppError too
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QStringLiteral("unknown error");
    }
    std::fprintf(stderr, "pegmarch: in %s: %s\n", where, qPrintable(text));
    try {
        MessageBox::Warning(QCoreApplication::applicationName(), text);
    } catch (...) {
        // the report itself must never throw into the event loop
    }
}
