#include "CAsmError.h"
#include "CaseFile.h"
#include "Eval.h"

#include <QtTest>

#include <cmath>

class tst_Eval : public QObject
{
    Q_OBJECT

private slots:
    void cases_data();
    void cases();
    void constantsByIndexAndList();
    void errorCarriesLocation();
    void nestingIsBounded();
    void truncation();
};

static QList<TConstant> testConstants()
{
    return {{"X", 5}, {"COS", 2}, {"A_1", -3}, {"X", 99}};
}

// tests/cases/eval.cases: an expression and its value, or "error: MESSAGE", with the constants
// of testConstants(). Expressions a text file cannot show well are added here.
void tst_Eval::cases_data()
{
    if (!AddCaseRows("eval.cases"))
        return;
    const QString syntax = "error: Syntax error in numerical expression";
    QTest::newRow("empty") << QStringList{""} << QStringList{syntax};
    QTest::newRow("only spaces") << QStringList{"   "} << QStringList{syntax};
    QTest::newRow("tabs and line ends are spaces") << QStringList{"\t1 +\r\n2 "} << QStringList{"3"};
    QTest::newRow("no-break space") << QStringList{QString("1") + QChar(0xA0) + "+2"} << QStringList{"3"};
    QTest::newRow("wide char ends the text") << QStringList{QString("3") + QChar(0x4E00) + "garbage("}
                                             << QStringList{"3"};
    QTest::newRow("latin-1 letter") << QStringList{QString("1+") + QChar(0xE9)} << QStringList{syntax};
}

void tst_Eval::cases()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    QVERIFY2(body.size() == 1 && results.size() == 1, "one expression, one result");
    Eval e;
    const QList<TConstant> constants = testConstants();
    try {
        const double value = e.eval(body[0], constants, 1, "f", -1);
        QVERIFY2(!results[0].startsWith("error: "), qPrintable(QString::number(value)));
        bool number = false;
        QCOMPARE(value, results[0].toDouble(&number));
        QVERIFY(number);
    } catch (const CAsmError& err) {
        QCOMPARE("error: " + err.Message, results[0]);
    }
}

void tst_Eval::constantsByIndexAndList()
{
    const QList<TConstant> constants = testConstants();
    QHash<QString, int> index{{"X", 0}, {"COS", 1}, {"A_1", 2}};
    Eval e;
    QCOMPARE(e.eval("X+A_1", constants, 1, "f", -1, &index), 2.0);
    QCOMPARE(e.eval("COS+1", constants, 1, "f", -1, &index), 3.0);
}

void tst_Eval::errorCarriesLocation()
{
    Eval e;
    try {
        e.eval("1+", {}, 17, "moves.kro", 3);
        QFAIL("no error thrown");
    } catch (const CAsmError& err) {
        QCOMPARE(err.Line, 17);
        QCOMPARE(err.FileName, QStringLiteral("moves.kro"));
        QCOMPARE(err.FileIndex, 3);
    }
    // The object is reused: an earlier failure leaves nothing behind.
    QCOMPARE(e.eval("2", {}, 1, "f", -1), 2.0);
}

void tst_Eval::nestingIsBounded()
{
    Eval e;
    const int depth = Eval::MaxDepth;
    QCOMPARE(e.eval(QString(depth, '(') + "1" + QString(depth, ')'), {}, 1, "f", -1), 1.0);
    QCOMPARE(e.eval(QString(depth, '-') + "1", {}, 1, "f", -1), 1.0);
    const QStringList tooDeep{QString(depth + 1, '(') + "1" + QString(depth + 1, ')'),
                              QString(100000, '-') + "1", QString(100000, '(')};
    for (const QString& expression : tooDeep) {
        try {
            e.eval(expression, {}, 4, "f", -1);
            QFAIL("no error thrown");
        } catch (const CAsmError& err) {
            QCOMPARE(err.Message, QStringLiteral("Expression nested too deeply"));
            QCOMPARE(err.Line, 4);
        }
    }
}

void tst_Eval::truncation()
{
    // Truncation of values that do not fit 32 bits (eval.cases has how they arise) is defined.
    QCOMPARE(TruncToInt32(std::nan("")), std::numeric_limits<int>::min());
    QCOMPARE(TruncToInt32(1e300), std::numeric_limits<int>::min());
    QCOMPARE(TruncToInt32(-2147483648.9), std::numeric_limits<int>::min());
    QCOMPARE(TruncToInt32(2147483647.9), 2147483647);
    QCOMPARE(TruncToInt32(-7.9), -7);
}

QTEST_APPLESS_MAIN(tst_Eval)
#include "tst_eval.moc"
