// Line-level operations: comments, label definitions, quoted words and the translation of one
// instruction line into a program word.
#include "AssemblerEngine.h"

#include "Globals.h"

#include <QVarLengthArray>

#include <cmath>
#include <limits>
#include <utility>

namespace {

// Truncates toward zero; NaN gives 0 (it passed the range test, so any value would do).
int64_t truncToInt64(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int64_t>(v);
}

// True when simplified() would return the text unchanged.
bool isSimplified(const QString& text)
{
    const int n = text.size();
    if (n == 0)
        return true;
    if (text.at(0).isSpace() || text.at(n - 1).isSpace())
        return false;
    for (int i = 1; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isSpace() && (c != QLatin1Char(' ') || text.at(i - 1) == QLatin1Char(' ')))
            return false;
    }
    return true;
}

struct Keyword
{
    const QString* table;
    const char* message;
    bool digits;   // the keyword's value written as one digit is accepted too
};

int keywordIndex(const Keyword& k, const QString& text)
{
    const int index = FindKeyword(k.table, text);
    if (index >= 0 || !k.digits || text.size() != 1)
        return index;
    const int digit = text.at(0).unicode() - '0';
    return digit >= 0 && digit < KeywordCount(k.table) ? digit : -1;
}

} // namespace

QString AssemblerEngine::StripComment(const QString& line) const
{
    const int pos = line.indexOf(QLatin1String("//"));
    return pos < 0 ? line : line.left(pos);
}

QString AssemblerEngine::StripLabel(const QString& line, int lineNumber)
{
    const int colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return line;
    if (colon == 0)
        fail(QStringLiteral("Syntax error"), lineNumber);
    const QString name = line.left(colon);
    if (!IsValidName(name))
        fail(QStringLiteral("Syntax error"), lineNumber);
    defineLabel(name, lineNumber);
    return line.mid(colon + 1).simplified();
}

void AssemblerEngine::defineLabel(const QString& name, int lineNumber)
{
    if (m_labelIndex.contains(name))
        fail(QStringLiteral("Label already defined"), lineNumber);
    m_labelIndex.insert(name, m_labels.size());
    m_labels.append(TLabel{name, m_instructionCounter});
}

void AssemblerEngine::Translate(const QString& text, int lineNumber)
{
    TInstruction ins;
    // Lines from pass 1 are simplified already; then the operands need trimming only.
    QString simplifiedText;
    const QString* line = &text;
    if (!isSimplified(text)) {
        simplifiedText = text.simplified();
        line = &simplifiedText;
    }
    QStringRef mnemonic(line);
    QVarLengthArray<QStringRef, 8> operands;
    const int space = line->indexOf(QLatin1Char(' '));
    if (space >= 0) {
        mnemonic = line->leftRef(space);
        const int n = line->size();
        int start = space + 1;
        for (int i = start; i <= n; ++i) {
            if (i == n || line->at(i) == QLatin1Char(',')) {
                operands.append(line->midRef(start, i - start).trimmed());
                start = i + 1;
            }
        }
    }
    const auto operand = [&operands](int k) {
        return k < operands.size() ? operands.at(k) : QStringRef();
    };
    const auto emptyOperand = [&operands](int k) {
        return k >= operands.size() || operands.at(k).isEmpty();
    };
    const auto required = [&](int k) {
        const QStringRef op = operand(k);
        if (op.isEmpty())
            fail(QStringLiteral("Missing parameter"), lineNumber);
        return op;
    };
    const auto byteOperand = [&](int k) {
        const int v = TruncToInt32(evaluate(required(k), lineNumber));
        if (v < 0 || v > 255)
            fail(QStringLiteral("Parameter out of range"), lineNumber);
        return v;
    };

    // The lookups need a QString; a reused buffer saves allocating one per line.
    const auto inScratch = [this](const QStringRef& ref) -> const QString& {
        m_scratch.resize(0);
        m_scratch.append(ref);
        return m_scratch;
    };
    const QString& mnemonicText = inScratch(mnemonic);
    if (mnemonicText == QLatin1String("CODE")) {
        ins.Opcode = uint8_t(byteOperand(0));
        ins.Type = uint16_t(byteOperand(1));
        ins.Motor = uint8_t(byteOperand(2));
        ins.Value = TruncToInt32(evaluate(required(3), lineNumber));
        if (!emptyOperand(4))
            fail(QStringLiteral("Too many parameters"), lineNumber);
    } else if (mnemonicText == QLatin1String("CODEB")) {
        ins.Opcode = uint8_t(byteOperand(0));
        ins.Type = uint16_t(byteOperand(1));
        ins.Motor = uint8_t(byteOperand(2));
        uint32_t value = 0;
        for (int k = 3; k <= 6; ++k)
            value = (value << 8) | uint32_t(byteOperand(k));
        ins.Value = static_cast<int32_t>(value);
        if (!emptyOperand(7))
            fail(QStringLiteral("Too many parameters"), lineNumber);
    } else {
        const TInstructionRow* row = FindInstruction(mnemonicText);
        if (!row)
            fail(QStringLiteral("Unknown instruction"), lineNumber);
        ins.Opcode = row->Opcode;
        int i = 0;

        if (row->TypeKind != TypeNone) {
            const QStringRef op = required(0);
            i = 1;
            switch (row->TypeKind) {
            case TypeNumber: {
                const int v = TruncToInt32(evaluate(op, lineNumber));
                if (v < 0 || v > 4095)
                    fail(QStringLiteral("Parameter out of range"), lineNumber);
                ins.Type = uint16_t(v);
                break;
            }
            case TypeWaitEvent: {
                const TParameterDescriptor* event = nullptr;
                for (const TParameterDescriptor& d : m_ranges.WaitEventList) {
                    if (d.Name == op) {
                        event = &d;
                        break;
                    }
                }
                if (!event)
                    fail(QStringLiteral("Invalid WAIT event"), lineNumber);
                ins.Type = uint16_t(event->Number);
                break;
            }
            case TypeMoveMode:
            case TypeRfsMode:
            case TypeCondition:
            case TypeCalc:
            case TypeCalcx:
            case TypeCalcxx:
            case TypeCalcv:
            case TypeCle: {
                static const QHash<int, Keyword> keywords{
                    {TypeMoveMode,
                     {MoveModeMnemonic, "Parameter must be ABS, REL, COORD or RELCOORD", true}},
                    {TypeRfsMode,
                     {RfsModeMnemonic, "Parameter must be START, STOP or STATUS", true}},
                    {TypeCondition, {ConditionMnemonic, "Invalid JC condition", false}},
                    {TypeCalc, {CalcMnemonic, "Invalid CALC operation", false}},
                    {TypeCalcx, {CalcxMnemonic, "Invalid CALCX operation", false}},
                    {TypeCalcxx, {CalceMnemonic, "Invalid CALCxx operation", false}},
                    {TypeCalcv, {CalcvMnemonic, "Invalid CALCV operation", false}},
                    {TypeCle, {CleMnemonic, "Invalid CLE error code", false}},
                };
                const Keyword& k = keywords[row->TypeKind];
                const int index = keywordIndex(k, inScratch(op));
                if (index < 0)
                    fail(QString::fromLatin1(k.message), lineNumber);
                ins.Type = uint16_t(index);
                break;
            }
            default:
                fail(QStringLiteral("Internal error"), lineNumber);
            }
        }

        if (row->MotorKind == 1) {
            ins.Motor = uint8_t(byteOperand(i));
            ++i;
        } else if (row->MotorKind != 0) {
            fail(QStringLiteral("Internal error"), lineNumber);
        }

        if (row->ValueKind != ValueNone) {
            const QStringRef op = required(i);
            ++i;
            switch (row->ValueKind) {
            case ValueNumber: {
                const double v = evaluate(op, lineNumber);
                if (v > 4294967295.0 || v < -2147483648.0)
                    fail(QStringLiteral("Parameter value out of range"), lineNumber);
                ins.Value = truncToInt64(v);
                break;
            }
            case ValueByte: {
                const int v = TruncToInt32(evaluate(op, lineNumber));
                if (v < 0 || v > 255)
                    fail(QStringLiteral("Parameter out of range"), lineNumber);
                ins.Value = v;
                break;
            }
            case ValueLabel:
                if (!IsValidName(op))
                    fail(QStringLiteral("Invalid label name"), lineNumber);
                ins.Label = op.toString();
                break;
            default:
                fail(QStringLiteral("Internal error"), lineNumber);
            }
            if (!emptyOperand(i))
                fail(QStringLiteral("Too many parameters"), lineNumber);
        } else if (!emptyOperand(i)) {
            fail(QStringLiteral("Too many parameters"), lineNumber);
        }
    }

    ins.Line = lineNumber;
    ins.FileIndex = m_currentFileIndex;
    ins.BreakpointFlag = false;
    if (m_newFile) {
        ins.FileName = m_currentFileName;
        m_newFile = false;
    }
    if (m_checkRanges)
        CheckRanges(ins);
    m_program.append(std::move(ins));
    ++m_instructionCounter;
}

QString AssemblerEngine::GetParameterString(const QString& text, int start, int index, bool& error)
{
    QString result;
    error = false;
    int word = 0;
    const int n = text.size();
    int i = start < 0 ? 0 : start;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(' ')) {
            ++i;
        } else if (c == QLatin1Char('"')) {
            ++word;
            ++i;
            const int close = text.indexOf(QLatin1Char('"'), i);
            if (close < 0) {
                if (word == index)
                    result += text.midRef(i);
                error = true;
                return result;
            }
            if (word == index)
                result += text.midRef(i, close - i);
            i = close + 1;
        } else {
            ++word;
            int j = i;
            while (j < n && text.at(j) != QLatin1Char(' ')) {
                if (text.at(j) == QLatin1Char('"')) {
                    error = true;
                    break;
                }
                ++j;
            }
            if (word == index)
                result += text.midRef(i, j - i);
            if (error) {
                // The word ends at the quote; the scan goes on from there.
                i = j + 1;
            } else {
                i = j;
            }
        }
    }
    return result;
}
