#include "Eval.h"

#include "CAsmError.h"
#include "Globals.h"

#include <QVarLengthArray>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

const QString SyntaxError = QStringLiteral("Syntax error in numerical expression");

struct Func1
{
    QString name;
    double (*fn)(double);
};

struct Func2
{
    QString name;
    double (*fn)(double, double);
};

double f_sin(double x) { return std::sin(x); }
double f_cos(double x) { return std::cos(x); }
double f_tan(double x) { return std::tan(x); }
double f_asin(double x) { return std::asin(x); }
double f_acos(double x) { return std::acos(x); }
double f_atan(double x) { return std::atan(x); }
double f_sinh(double x) { return std::sinh(x); }
double f_cosh(double x) { return std::cosh(x); }
double f_tanh(double x) { return std::tanh(x); }
double f_asinh(double x) { return std::asinh(x); }
double f_acosh(double x) { return std::acosh(x); }
double f_atanh(double x) { return std::atanh(x); }
double f_exp(double x) { return std::exp(x); }
double f_log(double x) { return std::log(x); }
double f_log2(double x) { return std::log2(x); }
double f_log10(double x) { return std::log10(x); }
double f_sqrt(double x) { return std::sqrt(x); }
double f_cbrt(double x) { return std::cbrt(x); }
double f_fabs(double x) { return std::fabs(x); }
double f_ceil(double x) { return std::ceil(x); }
double f_floor(double x) { return std::floor(x); }
double f_round(double x) { return std::round(x); }
double f_atan2(double a, double b) { return std::atan2(a, b); }
double f_hypot(double a, double b) { return std::hypot(a, b); }
double f_fmod(double a, double b) { return std::fmod(a, b); }

bool isLetter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int TruncToInt32(double value)
{
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

double Eval::eval(const QString& expression, const QList<TConstant>& constants, int line,
                  const QString& fileName, int fileIndex, const QHash<QString, int>* constantIndex)
{
    return eval(QStringView(expression), constants, line, fileName, fileIndex, constantIndex);
}

double Eval::eval(QStringView expression, const QList<TConstant>& constants, int line,
                  const QString& fileName, int fileIndex, const QHash<QString, int>* constantIndex)
{
    m_data = expression.data();
    m_size = int(expression.size());
    m_constants = &constants;
    m_index = constantIndex;
    m_line = line;
    m_fileName = &fileName;
    m_fileIndex = fileIndex;
    m_pos = 0;
    m_depth = 0;
    eatspace();
    const double v = sum();
    if (cur() != 0)
        fail(SyntaxError);
    return v;
}

void Eval::fail(const QString& message) const
{
    throw CAsmError(message, m_line, m_fileName ? *m_fileName : QString(), m_fileIndex);
}

void Eval::expect(char c)
{
    if (cur() != static_cast<unsigned char>(c))
        fail(SyntaxError);
    next();
}

double Eval::number()
{
    if (cur() == '$' || cur() == '%') {
        const bool hex = cur() == '$';
        next();
        uint32_t v = 0;
        for (;;) {
            const unsigned char c = cur();
            if (hex && isDigit(c))
                v = v * 16 + (c - '0');
            else if (hex && c >= 'A' && c <= 'F')
                v = v * 16 + (c - 'A' + 10);
            else if (!hex && (c == '0' || c == '1'))
                v = v * 2 + (c - '0');
            else
                break;
            next();
        }
        return static_cast<double>(static_cast<int32_t>(v));
    }

    double v = 0.0;
    while (isDigit(cur())) {
        v = v * 10.0 + (cur() - '0');
        next();
    }
    if (cur() == '.') {
        next();
        int n = 0;
        while (isDigit(cur())) {
            ++n;
            v += (cur() - '0') * std::pow(10.0, -n);
            next();
        }
    }
    if (cur() == 'E' || cur() == 'e') {
        next();
        bool negative = false;
        if (cur() == '+' || cur() == '-') {
            negative = cur() == '-';
            next();
        }
        // Saturates: any exponent this large already gives infinity or zero.
        int exponent = 0;
        while (isDigit(cur())) {
            if (exponent < 100000)
                exponent = exponent * 10 + (cur() - '0');
            next();
        }
        v = v * std::pow(10.0, negative ? -exponent : exponent);
    }
    return v;
}

double Eval::function()
{
    static const Func1 funcs1[] = {
        {QStringLiteral("SIN"), f_sin},     {QStringLiteral("COS"), f_cos},
        {QStringLiteral("TAN"), f_tan},     {QStringLiteral("ASIN"), f_asin},
        {QStringLiteral("ACOS"), f_acos},   {QStringLiteral("ATAN"), f_atan},
        {QStringLiteral("SINH"), f_sinh},   {QStringLiteral("COSH"), f_cosh},
        {QStringLiteral("TANH"), f_tanh},   {QStringLiteral("ASINH"), f_asinh},
        {QStringLiteral("ACOSH"), f_acosh}, {QStringLiteral("ATANH"), f_atanh},
        {QStringLiteral("EXP"), f_exp},     {QStringLiteral("LN"), f_log},
        {QStringLiteral("LD"), f_log2},     {QStringLiteral("LOG"), f_log10},
        {QStringLiteral("SQRT"), f_sqrt},   {QStringLiteral("CBRT"), f_cbrt},
        {QStringLiteral("ABS"), f_fabs},    {QStringLiteral("CEIL"), f_ceil},
        {QStringLiteral("FLOOR"), f_floor}, {QStringLiteral("ROUND"), f_round},
        {QStringLiteral("DEG"), RadToDeg},  {QStringLiteral("RAD"), DegToRad},
    };
    static const Func2 funcs2[] = {
        {QStringLiteral("ATAN2"), f_atan2},
        {QStringLiteral("HYPOT"), f_hypot},
        {QStringLiteral("FMOD"), f_fmod},
    };

    // Names may hold white space ("S IN"), so they are gathered character by character.
    QVarLengthArray<QChar, 64> letters;
    do {
        letters.append(QChar(cur()));
        next();
    } while (isLetter(cur()) || isDigit(cur()) || cur() == '_');
    QString& name = m_name;
    name.setUnicode(letters.constData(), letters.size());

    if (m_index) {
        const auto it = m_index->constFind(name);
        if (it != m_index->constEnd())
            return m_constants->at(it.value()).Value;
    } else {
        for (const TConstant& c : *m_constants) {
            if (c.Name == name)
                return c.Value;
        }
    }

    for (const Func1& f : funcs1) {
        if (f.name == name) {
            expect('(');
            const double x = sum();
            expect(')');
            return f.fn(x);
        }
    }
    for (const Func2& f : funcs2) {
        if (f.name == name) {
            expect('(');
            const double a = sum();
            expect(',');
            const double b = sum();
            expect(')');
            return f.fn(a, b);
        }
    }
    fail(QStringLiteral("Undefined name"));
}

double Eval::factor()
{
    // Input comes from outside: bound the recursion instead of trusting the stack.
    struct DepthGuard
    {
        int& depth;
        explicit DepthGuard(int& d) : depth(d) { ++depth; }
        ~DepthGuard() { --depth; }
    } guard(m_depth);
    // The innermost factor of MaxDepth nested levels sits one deeper.
    if (m_depth > MaxDepth + 1)
        fail(QStringLiteral("Expression nested too deeply"));

    const unsigned char c = cur();
    if (c == '+') {
        next();
        return factor();
    }
    if (c == '-') {
        next();
        return -factor();
    }
    if (c == '(') {
        next();
        const double v = sum();
        expect(')');
        return v;
    }
    if (isLetter(c))
        return function();
    if (c == '.' || isDigit(c) || c == '$' || c == '%')
        return number();
    fail(SyntaxError);
}

double Eval::prod()
{
    double v = factor();
    for (;;) {
        const unsigned char op = cur();
        if (op != '*' && op != '/' && op != '\\' && op != '^')
            return v;
        next();
        const double r = factor();
        switch (op) {
        case '*':
            v = v * r;
            break;
        case '/':
            v = v / r;
            break;
        case '^':
            v = std::pow(v, r);
            break;
        default: {
            const int a = TruncToInt32(v);
            const int b = TruncToInt32(r);
            if (b == 0)
                fail(QStringLiteral("Division by zero in numerical expression"));
            // The one quotient that does not fit in 32 bits; its remainder is 0.
            if (b == -1)
                v = 0.0;
            else
                v = static_cast<double>(a % b);
            break;
        }
        }
    }
}

double Eval::sum()
{
    double v = prod();
    for (;;) {
        const unsigned char op = cur();
        if (op != '+' && op != '-')
            return v;
        next();
        const double r = prod();
        v = op == '+' ? v + r : v - r;
    }
}
