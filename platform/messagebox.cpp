// SPDX-License-Identifier: MIT
// The modal warning box over QMessageBox.
#include "messagebox.h"

#include <QApplication>
#include <QMessageBox>

namespace {
std::function<void(const QString &, const QString &)> g_hook; // a test's, or none
} // namespace

void MessageBox::Warning(const QString &title, const QString &text)
{
    if (g_hook) {
        g_hook(title, text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void MessageBox::setHook(std::function<void(const QString &, const QString &)> h)
{
    g_hook = std::move(h);
}
