// SPDX-License-Identifier: MIT
// The information dialog's layout.
#include "infodialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

InfoDialog::InfoDialog(const QString &title, const QIcon &icon, const QString &notice,
                       const QStringList &lines, QWidget *parent)
    : QDialog(parent ? parent : QApplication::activeWindow())
{
    setObjectName(QStringLiteral("InfoDialog"));
    setWindowTitle(title);
    setWindowIcon(icon);
    setModal(true);

    auto *picture = new QLabel;
    picture->setObjectName(QStringLiteral("icon"));
    picture->setPixmap(icon.pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop);

    auto *heading = new QLabel(title);
    heading->setObjectName(QStringLiteral("title"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto *noticeLabel = new QLabel(notice);
    noticeLabel->setObjectName(QStringLiteral("notice"));

    auto *text = new QVBoxLayout;
    text->addWidget(heading);
    text->addWidget(noticeLabel);
    text->addSpacing(8);
    for (const QString &line : lines) {
        auto *label = new QLabel(line);
        label->setObjectName(QStringLiteral("line"));
        label->setTextFormat(Qt::PlainText);
        text->addWidget(label);
    }
    for (QLabel *l : {heading, noticeLabel})
        l->setTextFormat(Qt::PlainText);

    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
