// SPDX-License-Identifier: MIT
// The modal warning box over QMessageBox.
#include "messagebox.h"

#include <QApplication>
#include <QMessageBox>

namespace {
std::function<void(const QString &, const QString &)> &hook()
{
    static std::function<void(const QString &, const QString &)> h;
    return h;
}
} // namespace

void MessageBox::Warning(const QString &title, const QString &text)
{
    if (auto &h = hook()) {
        h(title, text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void MessageBox::setHook(std::function<void(const QString &, const QString &)> h)
{
    hook() = std::move(h);
}
