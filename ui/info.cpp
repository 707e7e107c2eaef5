// SPDX-License-Identifier: MIT
// Help > Info: the title, the window's icon, a notice, the credit and the rules.
#include "game/game.h"

#include "app/modmain.h"
#include "support/supportlibrary.h"
#include "ui/frmmain.h"

void Game::pobjMnuHelpInfo_Click()
{
    const QString title = AppTitle();
    const QIcon icon = pobjForm->windowIcon();
    ValueArray lines = ValueArray::texts(
        {QStringLiteral("Written by the Ostrel Pegmarch developers."),
         QStringLiteral("Simply drag the small rings over bigger rings or empty pegs to move them."),
         QStringLiteral("Moving only one ring at a time, the subject is to move all 5 rings in"),
         QStringLiteral("correct order from peg 1 to 2, 2 to 3, ..., 5 to 6 in as less moves as possible.")},
        0);
    const QString notice =
        QStringLiteral("Ostrel and Pegmarch are trademarks of the Ostrel Pegmarch developers.");
    SupportLibrary::instance().ShowInfoDialog(title, icon, notice, lines);
    lines.erase();
}
