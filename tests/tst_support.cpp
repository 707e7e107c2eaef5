// SPDX-License-Identifier: MIT
// The support library's renumbering and the array slice at their limits. (Their
// ordinary results are checked against a model by the fuzz target's corpus.)
#include "app/slicearray.h"
#include "support/apperror.h"
#include "support/supportlibrary.h"

#include <QtTest>

Q_DECLARE_METATYPE(Value)

namespace {
std::int32_t errorOf(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const AppError &e) {
        return e.number();
    }
    return 0;
}
} // namespace

class TestSupport : public QObject
{
    Q_OBJECT

private slots:
    void rebaseAtTheLargestIndex()
    {
        SupportLibrary &lib = SupportLibrary::instance();
        const Value last = lib.RebaseArray(ValueArray::texts({"a"}), INT32_MAX);
        QCOMPARE(std::pair(last.array().lower(), last.array().upper()), std::pair(INT32_MAX, INT32_MAX));
        QCOMPARE(last.array().at(INT32_MAX).text(), QStringLiteral("a"));
        // Two would run past it: an error, not a wrap.
        QCOMPARE(errorOf([&] { lib.RebaseArray(ValueArray::texts({"a", "b"}), INT32_MAX); }), kErrSubscriptOutOfRange);
    }

    void sliceErrors_data()
    {
        QTest::addColumn<Value>("values");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("error");
        const Value three(ValueArray::texts({"a", "b", "c"}, 1));
        QTest::newRow("count 0 outside the bounds") << three << 99 << 0 << 0;
        QTest::newRow("empty, start outside") << Value(ValueArray()) << -5 << 3 << 0;
        QTest::newRow("empty, negative count") << Value(ValueArray()) << 1 << -1 << kErrBadArrayArgument;
        QTest::newRow("a number") << Value(std::int32_t{5}) << 1 << 1 << kErrBadArrayArgument;
        QTest::newRow("a text") << Value("abc") << 1 << 1 << kErrBadArrayArgument;
        QTest::newRow("past the largest index") << Value(ValueArray::texts({"a"}, INT32_MAX)) << INT32_MAX << 2
                                                << kErrBadArrayArgument;
    }
    void sliceErrors()
    {
        QFETCH(Value, values);
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(int, error);
        QCOMPARE(errorOf([&] { QVERIFY(SliceArray(values, start, count).array().isEmpty()); }), error);
        QCOMPARE(kErrBadArrayArgument, std::int32_t(0x8004040E));
    }
};

QTEST_MAIN(TestSupport)
#include "tst_support.moc"
