// SPDX-License-Identifier: MIT
// The modal information dialog: title, icon, a notice and some lines of text.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QStringList>

class InfoDialog : public QDialog
{
    Q_OBJECT
public:
    InfoDialog(const QString &title, const QIcon &icon, const QString &notice, const QStringList &lines,
               QWidget *parent = nullptr);
};
