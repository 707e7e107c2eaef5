// SPDX-License-Identifier: MIT
// The main window: the board picture and its drawing buffer, the redraw timer
// and the menu bar. It reports its events; the Game handles them.
#pragma once

#include <QMainWindow>

#include <cstdint>

class PictureBox;
class PictureView;
class QAction;
class QMenu;
class QTimer;

class frmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // 0 normal, 1 minimised, 2 maximised.
    int WindowState() const;
    // Inner area below the menu bar, in pixels.
    float ScaleWidth() const;
    float ScaleHeight() const;
    // Closes and deletes the window as the program's own doing (QueryUnload reason 1).
    void Unload();

    // The controls, in their order of creation.
    PictureBox *picBuffer;
    QTimer *tmrTimer;
    PictureView *picView;
    QMenu *mnuGame;
    QAction *mnuGameNew;
    QAction *mnuGameAbort;
    QAction *mnuGameSep0;
    QAction *mnuGameExit;
    QMenu *mnuHelp;
    QAction *mnuHelpInfo;
    QAction *actQuit; // Ctrl+Q

    // The inner size the window opens with.
    static constexpr int kInitialInnerWidth = 521;
    static constexpr int kInitialInnerHeight = 365;

signals:
    void Resize();
    // Set cancel to refuse the closing; reason 1 is the program's own unload.
    void QueryUnload(bool &cancel, int reason);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void createMenus();

    QWidget *m_inner;
    bool m_unloading = false;
};
