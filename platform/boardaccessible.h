// SPDX-License-Identifier: MIT
// What assistive tools see of the board: a canvas named "Board" whose
// description tells the position in words; its news a notification.
#pragma once

#include <QAccessibleWidget>

class PictureView;

class BoardAccessible : public QAccessibleWidget
{
public:
    explicit BoardAccessible(PictureView *view);
    QString text(QAccessible::Text t) const override;

    // Makes every board answer assistive tools through this class.
    static void install();
};
