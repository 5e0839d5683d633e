#include "CAsmError.h"
#include "Eval.h"

#include <QtTest>

#include <cmath>

class tst_Eval : public QObject
{
    Q_OBJECT

private slots:
    void values_data();
    void values();
    void errors_data();
    void errors();
    void constantsByIndexAndList();
    void errorCarriesLocation();
    void nestingIsBounded();
    void nonFiniteResults();
};

static QList<TConstant> testConstants()
{
    return {{"X", 5}, {"COS", 2}, {"A_1", -3}, {"X", 99}};
}

void tst_Eval::values_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<double>("value");

    QTest::newRow("integer") << "42" << 42.0;
    QTest::newRow("precedence of + and *") << "2+3*4" << 14.0;
    QTest::newRow("all products share precedence") << "2*3^2" << 36.0;
    QTest::newRow("power is left-associative") << "2^3^2" << 64.0;
    QTest::newRow("sign binds tighter than ^") << "-2^2" << 4.0;
    QTest::newRow("parentheses") << "(1+2)*3" << 9.0;
    QTest::newRow("double sign") << "--5" << 5.0;
    QTest::newRow("plus sign") << "+-+5" << -5.0;
    QTest::newRow("subtraction is left-assoc") << "10-4-3" << 3.0;
    QTest::newRow("division in double") << "7/2" << 3.5;
    QTest::newRow("remainder") << "10\\3" << 1.0;
    QTest::newRow("remainder keeps left sign") << "-7\\2" << -1.0;
    QTest::newRow("remainder truncates operands") << "7.9\\2" << 1.0;
    QTest::newRow("remainder by -1") << "-2147483648\\-1" << 0.0;
    QTest::newRow("hex") << "$FF" << 255.0;
    QTest::newRow("hex all ones is -1") << "$FFFFFFFF" << -1.0;
    QTest::newRow("hex wraps to last eight digits") << "$100000000" << 0.0;
    QTest::newRow("hex without digits") << "$" << 0.0;
    QTest::newRow("binary") << "%101" << 5.0;
    QTest::newRow("binary sign bit") << "%10000000000000000000000000000000" << -2147483648.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("exponent") << "1E3" << 1000.0;
    QTest::newRow("lower-case exponent") << "1e3" << 1000.0;
    QTest::newRow("negative exponent") << "2.5E-1" << 0.25;
    QTest::newRow("exponent without digits") << "7E" << 7.0;
    QTest::newRow("spaces inside a number") << "1 000" << 1000.0;
    QTest::newRow("spaces inside a name") << "S IN(0)" << 0.0;
    QTest::newRow("tabs and line ends are spaces") << "\t1 +\r\n2 " << 3.0;
    QTest::newRow("no-break space") << QString("1") + QChar(0xA0) + "+2" << 3.0;
    QTest::newRow("constant") << "X*2" << 10.0;
    QTest::newRow("first definition wins") << "X" << 5.0;
    QTest::newRow("constant hides function") << "COS" << 2.0;
    QTest::newRow("underscore in name") << "A_1" << -3.0;
    QTest::newRow("function") << "SQRT(16)" << 4.0;
    QTest::newRow("function of expression") << "ABS(-3*2)" << 6.0;
    QTest::newRow("two-argument function") << "HYPOT(3,4)" << 5.0;
    QTest::newRow("fmod keeps sign") << "FMOD(-7,2)" << -1.0;
    QTest::newRow("atan2") << "ATAN2(1,1)*4" << M_PI;
    QTest::newRow("round half away from zero") << "ROUND(-2.5)" << -3.0;
    QTest::newRow("ceil") << "CEIL(1.2)" << 2.0;
    QTest::newRow("floor") << "FLOOR(-1.2)" << -2.0;
    QTest::newRow("log base 2") << "LD(8)" << 3.0;
    QTest::newRow("log base 10") << "LOG(1000)" << 3.0;
    QTest::newRow("cube root") << "CBRT(27)" << 3.0;
    QTest::newRow("degrees") << "DEG(ATAN(1)*4)" << 180.0;
    QTest::newRow("radians") << "RAD(180)" << M_PI;
    QTest::newRow("wide char ends the text") << QString("3") + QChar(0x4E00) + "garbage(" << 3.0;
}

void tst_Eval::values()
{
    QFETCH(QString, expression);
    QFETCH(double, value);
    Eval e;
    const QList<TConstant> constants = testConstants();
    QCOMPARE(e.eval(expression, constants, 1, "f", -1), value);
}

void tst_Eval::errors_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("message");

    const QString syntax = "Syntax error in numerical expression";
    QTest::newRow("empty") << "" << syntax;
    QTest::newRow("only spaces") << "   " << syntax;
    QTest::newRow("lower-case hex leaves a name") << "$ff" << syntax;
    QTest::newRow("binary digit 2") << "%2" << syntax;
    QTest::newRow("function without parentheses") << "SIN" << syntax;
    QTest::newRow("missing close") << "(1+2" << syntax;
    QTest::newRow("missing comma") << "HYPOT(3)" << syntax;
    QTest::newRow("trailing text") << "1 2)" << syntax;
    QTest::newRow("name starting with underscore") << "_A" << syntax;
    QTest::newRow("dangling operator") << "1+" << syntax;
    QTest::newRow("latin-1 letter") << QString("1+") + QChar(0xE9) << syntax;
    QTest::newRow("unknown name") << "FOO+1" << "Undefined name";
    QTest::newRow("names are case-sensitive") << "sqrt(4)" << "Undefined name";
    QTest::newRow("remainder by zero") << "5\\0" << "Division by zero in numerical expression";
    QTest::newRow("remainder by fraction") << "5\\0.5" << "Division by zero in numerical expression";
}

void tst_Eval::errors()
{
    QFETCH(QString, expression);
    QFETCH(QString, message);
    Eval e;
    const QList<TConstant> constants = testConstants();
    try {
        e.eval(expression, constants, 1, "f", -1);
        QFAIL("no error thrown");
    } catch (const CAsmError& err) {
        QCOMPARE(err.Message, message);
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

void tst_Eval::nonFiniteResults()
{
    Eval e;
    QVERIFY(std::isinf(e.eval("1/0", {}, 1, "f", -1)));
    QVERIFY(std::isnan(e.eval("0/0", {}, 1, "f", -1)));
    QVERIFY(std::isnan(e.eval("SQRT(-1)", {}, 1, "f", -1)));
    QVERIFY(std::isinf(e.eval("1E999999999999", {}, 1, "f", -1)));
    QCOMPARE(e.eval("1E-999999999999", {}, 1, "f", -1), 0.0);
    // Truncation of values that do not fit 32 bits is defined.
    QCOMPARE(TruncToInt32(std::nan("")), std::numeric_limits<int>::min());
    QCOMPARE(TruncToInt32(1e300), std::numeric_limits<int>::min());
    QCOMPARE(TruncToInt32(-2147483648.9), std::numeric_limits<int>::min());
    QCOMPARE(TruncToInt32(2147483647.9), 2147483647);
    QCOMPARE(TruncToInt32(-7.9), -7);
}

QTEST_APPLESS_MAIN(tst_Eval)
#include "tst_eval.moc"
