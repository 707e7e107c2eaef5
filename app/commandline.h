// SPDX-License-Identifier: MIT
// The command line: --help and --version answered, Qt's own options let through to
// the platform, anything else refused, all without needing a display.
#pragma once

// What the command line asked for.
struct CommandLine
{
    // The status to end with at once (help, version, a mistake), or -1 to play.
    int answered = -1;
    // A platform or display was named (-platform, -display): Qt looks for it.
    bool platformNamed = false;
};

CommandLine ReadCommandLine(int argc, char **argv);
