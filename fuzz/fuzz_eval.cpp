// The evaluator on one expression (the input as UTF-8) with a few constants defined. Lookups
// through the assembler's name index and through the plain list must agree.
#include "FuzzSupport.h"

#include "CAsmError.h"
#include "Eval.h"

#include <QHash>
#include <QList>

#include <cmath>
#include <limits>

namespace {

struct Constants
{
    QList<TConstant> list;
    QHash<QString, int> index;
};

Constants* constants = nullptr;

void define(const QString& name, double value)
{
    constants->index.insert(name, constants->list.size());
    constants->list.append(TConstant{name, value});
}

struct Outcome
{
    bool failed = false;
    double value = 0.0;
    CAsmError error;
};

Outcome evaluate(const QString& expression, const QHash<QString, int>* index)
{
    Outcome outcome;
    Eval eval;
    try {
        outcome.value = eval.eval(expression, constants->list, 7, QStringLiteral("fuzz.kro"), 3, index);
    } catch (const CAsmError& e) {
        outcome.failed = true;
        outcome.error = e;
    }
    return outcome;
}

bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzSupport::initialize(argc, argv);
    constants = new Constants;
    define(QStringLiteral("SPEED"), 50000);
    define(QStringLiteral("HALF"), 0.5);
    define(QStringLiteral("NEG"), -3);
    define(QStringLiteral("BIG"), 1e300);
    define(QStringLiteral("ZERO"), 0);
    define(QStringLiteral("MAX_INT"), 2147483647);
    define(QStringLiteral("NAN_"), std::numeric_limits<double>::quiet_NaN());
    define(QStringLiteral("INF"), std::numeric_limits<double>::infinity());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString expression = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    const Outcome indexed = evaluate(expression, &constants->index);
    const Outcome listed = evaluate(expression, nullptr);

    if (indexed.failed != listed.failed)
        FuzzSupport::finding("index and list lookups disagree on failing", expression);
    if (indexed.failed) {
        const CAsmError& e = indexed.error;
        if (e.Message.isEmpty() || e.Line != 7 || e.FileName != QLatin1String("fuzz.kro")
            || e.FileIndex != 3)
            FuzzSupport::finding("an error without its message or place", e.Message);
        if (e.Message != listed.error.Message)
            FuzzSupport::finding("index and list lookups give different errors", e.Message);
    } else {
        if (!same(indexed.value, listed.value))
            FuzzSupport::finding("index and list lookups give different values", expression);
        // What the assembler does with every value next.
        TruncToInt32(indexed.value);
    }
    return 0;
}
