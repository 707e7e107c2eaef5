// SPDX-License-Identifier: MIT
// Reading Qt's start-up messages for the cause of a failure.
#include "startupfailure.h"

#include "printable.h"

#include <QRegularExpression>

QString StartupFailure(const QStringList &said, const QString &fatal)
{
    const QString all = said.join(QLatin1Char('\n')) + QLatin1Char('\n') + fatal;
    // What it names came from outside: a platform or display as typed.
    auto find = [&all](const char *pattern) {
        return Printable(QRegularExpression(QString::fromLatin1(pattern)).match(all).captured(1));
    };
    const QString available = find("Available platform plugins are: ([^\\n]*?)\\.?\\s*$");
    if (const QString p = find("Could not find the Qt platform plugin \"([^\"]*)\""); !p.isEmpty())
        return QStringLiteral("the display platform \"%1\" is not installed (there are: %2)").arg(p, available);
    if (const QString d = find("could not connect to display ([^\\s]*)"); !d.isEmpty())
        return QStringLiteral("cannot open display %1 (no X server answers there)").arg(d);
    if (const QString p = find("Could not load the Qt platform plugin \"([^\"]*)\""); !p.isEmpty()) {
        // What the plugin itself said first, if anything.
        const QString why = find("(?:^|\\n)(?!qt\\.qpa\\.plugin)([^\\n]+)\\n");
        return QStringLiteral("the display platform \"%1\" could not start%2").arg(p, why.isEmpty() ? QString() : ": " + why);
    }
    return QStringLiteral("the display platform could not start: ") + Printable(fatal.section(QLatin1Char('\n'), 0, 0));
}
