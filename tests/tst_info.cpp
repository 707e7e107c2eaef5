// SPDX-License-Identifier: MIT
// Help > Info: what the dialog shows, that it is modal and closes with OK or
// Escape, and that it leaves the game as it was.
#include "app/modmain.h"
#include "support/infodialog.h"
#include "testsupport.h"
#include "ui/frmmain.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {
const QStringList kRules{
    "Simply drag the small rings over bigger rings or empty pegs to move them.",
    "Moving only one ring at a time, the subject is to move all 5 rings in",
    "correct order from peg 1 to 2, 2 to 3, ..., 5 to 6 in as less moves as possible."};

// Closes the modal dialog that opens next, with the given key, and records its labels.
void closeNextDialogWith(Qt::Key key, QStringList *labels, bool *wasModal)
{
    QTimer::singleShot(0, [=] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        *wasModal = dialog->isModal();
        *labels << dialog->windowTitle();
        for (QLabel *l : dialog->findChildren<QLabel *>())
            if (!l->text().isEmpty())
                *labels << l->text();
        if (key == Qt::Key_Return)
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        else
            QTest::keyClick(dialog, key);
    });
}
} // namespace

class TestInfo : public QObject, private GameFixture
{
    Q_OBJECT

private slots:
    void init()
    {
        start();
    }
    void cleanup()
    {
        SupportLibrary::instance().setInfoDialogHook({});
        stop();
    }

    void whatTheDialogIsGiven()
    {
        QString title, notice;
        QIcon icon;
        QStringList lines;
        SupportLibrary::instance().setInfoDialogHook(
            [&](const QString &t, const QIcon &i, const QString &n, const QStringList &l) {
                title = t;
                icon = i;
                notice = n;
                lines = l;
            });
        in->infoAction()->trigger();
        QCOMPARE(title, AppTitle());
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes(), in->form()->windowIcon().availableSizes());
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].contains("the Ostrel Pegmarch developers"));
        QCOMPARE(lines.mid(1), kRules);
        QVERIFY(notice.contains("trademark"));
        QVERIFY(!notice.contains('\n'));
    }

    void realDialogClosesWithEscapeAndOk_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("OK") << int(Qt::Key_Return);
    }
    void realDialogClosesWithEscapeAndOk()
    {
        QFETCH(int, key);
        QStringList labels;
        bool wasModal = false;
        closeNextDialogWith(Qt::Key(key), &labels, &wasModal);
        in->infoAction()->trigger(); // returns once the dialog is closed
        QVERIFY(wasModal);
        QCOMPARE(labels.value(0), AppTitle());
        for (const QString &rule : kRules)
            QVERIFY2(labels.contains(rule), qPrintable(rule));
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestInfo)
#include "tst_info.moc"
