// SPDX-License-Identifier: MIT
// The command line, read with QCommandLineParser before the platform starts.
#include "commandline.h"

#include "printable.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <vector>

namespace {
// Qt's standard options, which QApplication takes for itself: a value each, or none.
const char *const kQtValueOptions[][2] = {
    {"platform", "the display platform plugin, with its options (xcb, wayland, ...)"},
    {"display", "the X display to use"},
    {"platformpluginpath", "where to look for platform plugins"},
    {"platformtheme", "the platform theme"},
    {"plugin", "an extra plugin to load"},
    {"qwindowgeometry", "the main window's geometry"},
    {"geometry", "the main window's geometry (X11)"},
    {"qwindowtitle", "the main window's title"},
    {"qwindowicon", "the main window's icon"},
    {"style", "the widget style"},
    {"stylesheet", "a style sheet file"},
    {"session", "the session to restore"},
    {"name", "the application name (X11)"},
};
const char *const kQtFlags[][2] = {
    {"reverse", "right-to-left layout"},
    {"sync", "synchronous X11 calls, for debugging"},
    {"nograb", "never grab the mouse or keyboard"},
    {"dograb", "grab the mouse and keyboard even in a debugger"},
    {"widgetcount", "count widgets at exit, for debugging"},
};

// Qt's options in the help's layout, for --help-all: --help keeps to the game's own.
QString qtOptionsHelp()
{
    QString text = QStringLiteral("\nQt's options:\n");
    for (const auto &[name, description] : kQtValueOptions)
        text += (QStringLiteral("  -") + QLatin1String(name) + QStringLiteral(" <value>")).leftJustified(30)
            + QLatin1String(description) + QLatin1Char('\n');
    for (const auto &[name, description] : kQtFlags)
        text += (QStringLiteral("  -") + QLatin1String(name)).leftJustified(30) + QLatin1String(description)
            + QLatin1Char('\n');
    return text;
}
} // namespace

CommandLine ReadCommandLine(int argc, char **argv)
{
    // The parser's help names the program by its first argument: pegmarch, not the
    // path it was started by.
    std::vector<char *> args(argv, argv + argc + 1);
    char name[] = "pegmarch";
    if (argc > 0)
        args.front() = name;
    QCoreApplication core(argc, args.data());
    QCoreApplication::setApplicationName(QStringLiteral("pegmarch"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(PEGMARCH_VERSION_MAJOR).arg(PEGMARCH_VERSION_MINOR).arg(PEGMARCH_VERSION_PATCH));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A puzzle game: carry a tower of five rings around a triangle of six pegs.\n"
                       "Qt's standard options (-platform, -display, ...) are taken as well: --help-all lists them."));
    // Qt's options are written with one dash: -display :1.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const auto &[name, description] : kQtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString::fromLatin1(description), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const auto &[name, description] : kQtFlags) {
        QCommandLineOption option(QString::fromLatin1(name), QString::fromLatin1(description));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine result;
    if (!parser.parse(QCoreApplication::arguments()) || !parser.positionalArguments().isEmpty()) {
        QString why = parser.errorText().isEmpty()
            ? QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().constFirst())
            : parser.errorText();
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        why[0] = why.at(0).toLower(); // as every message of the game's own
        std::fprintf(stderr, "pegmarch: %s; see 'pegmarch --help'\n", qPrintable(Printable(why)));
        result.answered = 2;
    } else if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        const bool all = parser.isSet(QStringLiteral("help-all"));
        std::fputs(qPrintable(parser.helpText() + (all ? qtOptionsHelp() : QString())), stdout);
        result.answered = 0;
    } else if (parser.isSet(version)) {
        std::printf("pegmarch %s\n", qPrintable(QCoreApplication::applicationVersion()));
        result.answered = 0;
    }
    result.platformNamed = parser.isSet(QStringLiteral("platform")) || parser.isSet(QStringLiteral("display"));
    return result;
}
