#pragma once

#include "TConstant.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

// Recursive-descent evaluator of the numeric expressions in KROL source.
// Errors are thrown as CAsmError carrying the line and file of the expression.
class Eval
{
public:
    // Evaluates a whole expression. The constant list is read by reference for the duration
    // of the call; when an index (name -> position in the list) is given it is used for lookups.
    double eval(const QString& expression, const QList<TConstant>& constants, int line,
                const QString& fileName, int fileIndex,
                const QHash<QString, int>* constantIndex = nullptr);
    // The same over characters the caller keeps alive for the duration of the call.
    double eval(QStringView expression, const QList<TConstant>& constants, int line,
                const QString& fileName, int fileIndex,
                const QHash<QString, int>* constantIndex = nullptr);

    // Nesting of parentheses, signs and function arguments allowed before giving up.
    static constexpr int MaxDepth = 1000;

private:
    void eatspace()
    {
        while (m_pos < m_size && m_data[m_pos].isSpace())
            ++m_pos;
    }
    // The current character as an 8-bit code; 0 at the end and for codes of 256 or more.
    unsigned char cur() const
    {
        if (m_pos >= m_size)
            return 0;
        const ushort code = m_data[m_pos].unicode();
        return code >= 256 ? 0 : static_cast<unsigned char>(code);
    }
    void next()
    {
        ++m_pos;
        eatspace();
    }
    void expect(char c);
    double number();
    double function();
    double factor();
    double prod();
    double sum();

    [[noreturn]] void fail(const QString& message) const;

    const QChar* m_data = nullptr;   // the expression's characters, valid during eval()
    int m_size = 0;
    int m_pos = 0;
    int m_line = 0;
    const QString* m_fileName = nullptr;   // the caller's, valid during eval()
    int m_fileIndex = -1;
    const QList<TConstant>* m_constants = nullptr;
    const QHash<QString, int>* m_index = nullptr;
    int m_depth = 0;
    QString m_name;   // reused for every name, so that names cost no allocation
};

// Truncates toward zero to 32 bits. Values that do not fit (and NaN) give -2147483648, the
// value the processor's own conversion yields, so range checks downstream reject them.
int TruncToInt32(double value);
