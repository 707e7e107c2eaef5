// SPDX-License-Identifier: MIT
// The Game: one object holds the whole game, draws it and handles every event of
// the main window. Its members live in several files, one concern each.
#pragma once

#include "platform/picturebox.h"
#include "support/variant.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>

class frmMain;
class PictureView;
class QAction;
class QTimer;
class TextFont;

// One peg: its place as fractions of the picture's width and height.
struct PegPosition
{
    float X = 0;
    float Y = 0;
};

// One ring: colour (0x00BBGGRR), the peg it stands on and its radius.
struct RingInfo
{
    ::Colour Colour = 0;
    std::int32_t Peg = 0;
    std::int32_t Size = 0;
};

class Game : public QObject
{
    Q_OBJECT
public:
    static constexpr int kPegs = 6;
    static constexpr int kRings = 5;

    // Builds the window, wires it, fills the board and starts the first game.
    Game();
    ~Game() override;

    // Text shown centred over the board (cleaned on write).
    QString DisplayCentered() const;
    void SetDisplayCentered(const QString &NewValue);
    // Bit 0 of Options.
    bool DisplayInfo() const;
    void SetDisplayInfo(bool NewValue);
    // Ends a running game, won (DidIt) or aborted.
    void EndGame(bool DidIt);
    // True once a game has ended.
    bool GameOver() const;
    // Closing text of the last ended game.
    QString GameOverText() const;
    // Moves ring Ring to peg Peg if the rules allow it; explains a refusal.
    void MoveRing(std::int32_t Ring, std::int32_t Peg);
    // Starts a new game with the tower on peg 1.
    void NewGame();
    // The option bits.
    std::int32_t Options() const;
    // Ends the program by dropping the one owning reference.
    void Quit();
    // Draws a whole frame and shows it.
    void Refresh();
    // Transient message over the board; writing "" is the tick of the queue.
    QString ShortMessage() const;
    void SetShortMessage(const QString &NewValue);
    // 0 until the first game ends, then 1.
    std::int32_t State() const;
    // 0 until the first game ends, then 1 won or 2 aborted.
    std::int32_t SubState() const;
    // The position in words for assistive tools, one item a line.
    QString Description() const;

    // Inside the program only.
    void SetState(std::int32_t NewValue);
    void SetSubState(std::int32_t NewValue);
    QString SupportLibraryText() const { return pstrSupportLibraryText; }
    frmMain *MainForm() const { return pobjForm; }

private:
    // Wiring.
    void bindHandlers();
    void pobjForm_QueryUnload(bool &Cancel, int UnloadMode);
    void pobjForm_Resize();
    void pobjPicView_Resize();
    void pobjTimer_Timer();
    void pobjMnuNewGame_Click();
    void pobjMnuAbort_Click();
    void pobjMnuExit_Click();
    void pobjMnuHelpInfo_Click();
    void pobjPicView_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void pobjPicView_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void pobjPicView_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void pobjPicView_MouseLost();
    void pobjPicView_KeyDown(int key, Qt::KeyboardModifiers modifiers);

    // Board.
    void fillBoard();
    void UpdateTopRings();
    static bool pegInTriangle(std::int32_t Stage, std::int32_t Peg);
    bool pegInTriangle(std::int32_t Peg) const { return pegInTriangle(plngStage, Peg); }
    double distanceToPeg(int p, float X, float Y) const;
    // The top ring a press at (X, Y) picks up, or 0.
    std::int32_t ringAt(float X, float Y);
    // The pointer as a closed hand while a ring is dragged, an open one over a ring a press picks up.
    void showHand(float X, float Y);

    // Keyboard: a peg named by a key, a held ring carried to the next open peg.
    void keyPegNamed(std::int32_t Peg);
    void keyCarry(int step);
    void keyPutBack();
    // Tells assistive tools the position when its words changed.
    void announceBoard();
    // Tells them what just happened, in a short sentence they speak at once.
    void Announce(const QString &sentence);
    // The open pegs of a stage.
    QList<std::int32_t> openPegs(std::int32_t Stage) const;
    // A new transfer in a few words: the target peg, and the open pegs where they changed.
    QString nextTarget() const;

    // Overlay: paints the centred text over the board, in this frame's colour.
    void DrawCentered();
    void releaseOverlayFont();
    void stepOverlayColour();

    // Message queue.
    void resetMessageQueue();

    // Window and controls (borrowed from the window, which the Game owns).
    frmMain *pobjForm = nullptr;
    PictureView *pobjPicView = nullptr;
    PictureBox *pobjPicBuffer = nullptr;
    QTimer *pobjTimer = nullptr;
    QAction *pobjMnuNewGame = nullptr;
    QAction *pobjMnuAbort = nullptr;
    QAction *pobjMnuExit = nullptr;
    QAction *pobjMnuHelpInfo = nullptr;

    // Board model (index 0 unused: pegs 1..6, rings 1..5).
    std::array<PegPosition, kPegs + 1> ptypPegs{};
    std::array<RingInfo, kRings + 1> ptypRings{};
    std::array<std::int32_t, kPegs + 1> plngTopRing{};
    std::int32_t plngStage = 1;
    std::int32_t plngMoveCount = 0;
    bool pblnRunning = false;
    std::int32_t plngDragRing = 0;
    float psngDragX = 0;
    float psngDragY = 0;
    // A ring picked up by key (0 none): apart from the drag, so the mouse never
    // carries it; shown lifted above m_keyPeg, the peg it would be put on.
    std::int32_t m_keyRing = 0;
    std::int32_t m_keyPeg = 0;
    // The pegs' numbers, shown once a digit named a peg, until a mouse press on the board.
    // Each has a font of its own, which keeps its number's coverage from frame to frame.
    bool m_numbersShown = false;
    std::array<std::unique_ptr<TextFont>, kPegs + 1> m_numberFonts;
    std::array<QStringList, kPegs + 1> m_numberTexts;
    QSize m_numberSize;
    std::int32_t plngOptions = 0;
    std::int32_t plngState = 0;
    std::int32_t plngSubState = 0;
    QString pstrGameOverText;
    QString pstrSupportLibraryText;

    // Centred text overlay.
    QString pstrDisplayCentered;
    QString pstrCenteredRaw;
    std::int32_t plngStepRed = 0;
    std::int32_t plngStepGreen = 0;
    std::int32_t plngStepBlue = 0;
    Colour plngOverlayColour = 0;
    QString pstrFontText;
    std::int32_t plngLineCount = 0;
    std::int32_t plngLongestLine = 0;
    std::unique_ptr<TextFont> plngOverlayFont;
    // The lines of pstrFontText and the size of their block in plngOverlayFont.
    QStringList m_overlayLines;
    QSize m_overlayBlock;

    // Short message queue.
    QString pstrShortMessage;
    ValueArray pstrMessageQueue{ElementKind::Text};
    // Tick when the current message went up; only meaningful while one is up
    // (a separate flag, so a message put up at tick 0 still counts).
    std::uint32_t plngMessageTick = 0;
    bool m_messageUp = false;
    QString pstrSavedCentered;

    friend class GameInspector; // tests read and set the private model through it
};
