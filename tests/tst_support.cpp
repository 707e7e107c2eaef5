// SPDX-License-Identifier: MIT
// The support library's operations, its value types and the array slice.
#include "app/slicearray.h"
#include "support/apperror.h"
#include "support/rounding.h"
#include "support/supportlibrary.h"

#include <QtTest>

Q_DECLARE_METATYPE(Value)

namespace {
SupportLibrary &lib()
{
    return SupportLibrary::instance();
}

ValueArray numbers(std::int32_t lower, std::vector<std::int32_t> values)
{
    std::vector<Value> items(values.begin(), values.end());
    return ValueArray(ElementKind::Long, lower, std::move(items));
}

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
    void splitText()
    {
        const ValueArray lines = lib().SplitText("one\r\ntwo\r\n\r\nfour", "\r\n");
        QCOMPARE(lines.lower(), 0);
        QCOMPARE(lines.toTexts(), (QStringList{"one", "two", "", "four"}));
        QCOMPARE(lib().SplitText("no break", "\r\n").toTexts(), QStringList{"no break"});
        QCOMPARE(lib().SplitText("a\nb\rc", "\r\n").toTexts(), QStringList{"a\nb\rc"});
        QCOMPARE(lib().SplitText("", "\r\n").size(), 1);
    }

    void rebase()
    {
        const Value r = lib().RebaseArray(ValueArray::texts({"a", "b", "c"}, 0), 1);
        QCOMPARE(r.array().lower(), 1);
        QCOMPARE(r.array().upper(), 3);
        QCOMPARE(r.array().at(1).text(), QStringLiteral("a"));
        QCOMPARE(r.array().kind(), ElementKind::Text);
        QVERIFY(lib().IsArrayEmpty(lib().RebaseArray(ValueArray(ElementKind::Byte), 1).array()));
        // Renumbering past the largest index is an error, not a wrap.
        QCOMPARE(errorOf([] { lib().RebaseArray(ValueArray::texts({"a", "b"}), INT32_MAX); }),
                 kErrSubscriptOutOfRange);
    }

    void slices()
    {
        const Value oneToFive(numbers(1, {10, 20, 30, 40, 50}));
        const Value s = SliceArray(oneToFive, 2, 4);
        QCOMPARE(s.array().lower(), 2);
        QCOMPARE(s.array().upper(), 5);
        QCOMPARE(s.array().at(2).number(), 20.0);
        QCOMPARE(s.array().at(5).number(), 50.0);
        QCOMPARE(s.array().kind(), ElementKind::Long);

        const Value zeroToTwo(numbers(0, {7, 8, 9}));
        QVERIFY(SliceArray(zeroToTwo, 0, 3) == zeroToTwo);

        // Count 0 and empty inputs give an empty array, whatever the start.
        QVERIFY(SliceArray(oneToFive, 99, 0).array().isEmpty());
        QVERIFY(SliceArray(Value(ValueArray(ElementKind::Text)), 1, 0).array().isEmpty());
        const Value emptyTexts = SliceArray(Value(ValueArray(ElementKind::Text)), -5, 3);
        QVERIFY(emptyTexts.array().isEmpty());
        QCOMPARE(emptyTexts.array().kind(), ElementKind::Text);
    }

    void arrayAtTheLargestIndex()
    {
        const Value last(numbers(INT32_MAX, {42}));
        QCOMPARE(last.array().upper(), INT32_MAX);
        const Value s = SliceArray(last, INT32_MAX, 1);
        QCOMPARE(s.array().lower(), INT32_MAX);
        QCOMPARE(s.array().at(INT32_MAX).number(), 42.0);
        QCOMPARE(errorOf([&] { SliceArray(last, INT32_MAX, 2); }), kErrBadArrayArgument);
    }

    void sliceErrors_data()
    {
        QTest::addColumn<Value>("values");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        const Value oneToFive(numbers(1, {10, 20, 30, 40, 50}));
        QTest::newRow("negative count") << oneToFive << 1 << -1;
        QTest::newRow("negative count on empty") << Value(ValueArray()) << 1 << -1;
        QTest::newRow("number") << Value(std::int32_t{5}) << 1 << 1;
        QTest::newRow("text") << Value("abc") << 1 << 1;
        QTest::newRow("below lower bound") << oneToFive << 0 << 2;
        QTest::newRow("past upper bound") << oneToFive << 3 << 4;
        QTest::newRow("start + count overflows") << oneToFive << INT32_MAX << 2;
    }
    void sliceErrors()
    {
        QFETCH(Value, values);
        QFETCH(int, start);
        QFETCH(int, count);
        QCOMPARE(errorOf([&] { SliceArray(values, start, count); }), kErrBadArrayArgument);
    }

    void roundsHalfToEven()
    {
        QCOMPARE(RoundEven(400.5), 400);
        QCOMPARE(RoundEven(401.5), 402);
        QCOMPARE(RoundEven(-0.5), 0);
        QCOMPARE(RoundEven(-1.5), -2);
        QCOMPARE(RoundEven(2.4999), 2);
    }
};

QTEST_MAIN(TestSupport)
#include "tst_support.moc"
