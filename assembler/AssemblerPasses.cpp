// The two passes: pass 1 reads lines, includes files, defines constants and labels and
// translates instructions; pass 2 resolves label operands.
#include "AssemblerEngine.h"

#include "AppSettings.h"
#include "Globals.h"
#include "InputFile.h"
#include "StringLines.h"


namespace {

// simplified() and toUpper() in one pass for plain ASCII lines, the usual case; anything else
// takes Qt's full Unicode route.
// Writes into *out, whose memory serves line after line.
void simplifiedUpper(const QStringRef& raw, QString* out)
{
    const int n = raw.size();
    const QChar* in = raw.unicode();
    for (int i = 0; i < n; ++i) {
        if (in[i].unicode() >= 0x80) {
            *out = raw.toString().simplified().toUpper();
            return;
        }
    }
    out->resize(n);
    QChar* o = out->data();
    int len = 0;
    bool pendingSpace = false;
    for (int i = 0; i < n; ++i) {
        const ushort c = in[i].unicode();
        if (c == ' ' || (c >= 9 && c <= 13)) {
            pendingSpace = len > 0;
            continue;
        }
        if (pendingSpace) {
            o[len++] = QLatin1Char(' ');
            pendingSpace = false;
        }
        o[len++] = QChar(c >= 'a' && c <= 'z' ? ushort(c - 32) : c);
    }
    out->truncate(len);
}

} // namespace

void AssemblerEngine::AssemblePass1(const QString& text)
{
    StringLines lines(text);
    AssemblePass1(lines);
}

void AssemblerEngine::AssemblePass1(SourceLines& lines)
{
    int n = 0;
    QString working;
    QStringRef raw;
    while (lines.next(&raw)) {
        ++n;
        if (m_reportProgress)
            emit ActualLine(n);
        // The same as StripComment followed by simplified(), without the intermediate copies.
        for (int i = 0; i + 1 < raw.size(); ++i) {
            if (raw.at(i) == QLatin1Char('/') && raw.at(i + 1) == QLatin1Char('/')) {
                raw = raw.left(i);
                break;
            }
        }
        simplifiedUpper(raw, &working);

        if (working.startsWith(QLatin1Char('#'))) {
            if (!working.startsWith(QLatin1String("#INCLUDE ")))
                fail(QStringLiteral("Illegal assembler directive"), n);
            // Include file names keep their case.
            includeFile(raw.toString().simplified(), n);
        } else if (!working.contains(QLatin1Char('='))) {
            const QString rest = StripLabel(working, n);
            if (!rest.isEmpty())
                Translate(rest, n);
        } else {
            defineConstant(working, n);
        }

        if (m_reportProgress) {
            emit TotalInstructions(m_program.size());
            emit LineDone();
        }
    }
    m_totalLines = n;
}

void AssemblerEngine::defineConstant(const QString& working, int n)
{
    if (working.contains(QLatin1Char(':')))
        fail(QStringLiteral("Syntax error"), n);
    const QString name = working.section(QLatin1Char('='), 0, 0).simplified();
    const QString expression = working.section(QLatin1Char('='), 1, 1).simplified();
    if (name.isEmpty())
        fail(QStringLiteral("Syntax error"), n);
    if (!IsValidName(name))
        fail(QStringLiteral("Illegal constant name"), n);
    if (m_constantIndex.contains(name))
        fail(QStringLiteral("Constant redefined"), n);
    const double value = Evaluate(expression, n);
    m_constantIndex.insert(name, m_constants.size());
    m_constants.append(TConstant{name, value});
}

void AssemblerEngine::includeFile(const QString& plain, int n)
{
    QString text;
    bool fromDisk = false;
    int fileIndex = -1;
    if (!GetIncludeFile(plain, n, text, fromDisk, fileIndex))
        fail(QStringLiteral("Include file not found"), n);

    // An open page is known by its index, a file on disk by where it really lies.
    const QString key = fromDisk ? m_files->identity(m_foundIncludePath)
                                 : QStringLiteral("page:") + QString::number(fileIndex);
    if (m_includeSet.isEmpty()) {
        // The main file counts as being included, so that it cannot include itself either.
        if (m_mainIndex >= 0)
            m_includeSet.insert(QStringLiteral("page:") + QString::number(m_mainIndex));
        if (!m_mainName.isEmpty()) {
            const QString main = m_mainPath + m_mainName;
            if (m_files->kind(main) != SourceFiles::Kind::Missing)
                m_includeSet.insert(m_files->identity(main));
        }
    }
    if (m_includeSet.contains(key))
        fail(QStringLiteral("Include file includes itself"), n);
    if (m_includeStack.size() >= MaxIncludeDepth)
        fail(QStringLiteral("Include files nested too deeply"), n);
    int& count = m_includeCount[key];
    if (count >= MaxIncludeCount)
        fail(QStringLiteral("Include file included too often"), n);
    ++count;

    m_newFile = true;
    const QString savedName = m_currentFileName;
    const int savedIndex = m_currentFileIndex;
    m_currentFileName = m_foundIncludePath;
    m_currentFileIndex = fileIndex;
    m_includeStack.append(key);
    m_includeSet.insert(key);

    AssemblePass1(text);

    m_includeSet.remove(m_includeStack.takeLast());
    m_currentFileName = savedName;
    m_currentFileIndex = savedIndex;
    // The next instruction names the including file again, so later errors point there.
    m_newFile = true;
}

bool AssemblerEngine::GetIncludeFile(const QString& line, int lineNumber, QString& text,
                               bool& fromDisk, int& fileIndex)
{
    bool error = false;
    const QString name = GetParameterString(line, line.indexOf(QLatin1Char(' '), 8), 1, error);
    if (error)
        fail(QStringLiteral("Syntax error in include file name"), lineNumber);

    QString candidate = name;
    if (!m_includePath.isEmpty()) {
        candidate = m_includePath;
        if (!m_includePath.endsWith(QLatin1Char('/')) && !m_includePath.endsWith(QLatin1Char('\\')))
            candidate += QLatin1Char('/');
        candidate += name;
    }
    if (candidate.isEmpty())
        return false;

    fileIndex = -1;
    if (m_files->page(candidate, &text, &fileIndex)) {
        m_foundIncludePath = candidate;
        fromDisk = false;
        return true;
    }

    using Kind = SourceFiles::Kind;
    QString path = candidate;
    if (m_files->kind(path) == Kind::Missing) {
        path = m_mainPath + name;
        if (m_files->kind(path) == Kind::Missing)
            path = AppSettings::homePath() + QStringLiteral("/KROL-Script/") + name;
    }
    const Kind kind = m_files->kind(path);
    if (kind == Kind::Directory)
        return false;
    // A FIFO or a device could block the assembly or never end; both are named, not read.
    if (kind == Kind::Special)
        fail(QStringLiteral("Include file is not a regular file"), lineNumber);
    if (kind == Kind::File && m_files->size(path) > InputFile::TextLimit)
        fail(QStringLiteral("Include file too large"), lineNumber);
    if (!m_files->read(path, &text))
        return false;
    m_foundIncludePath = path;
    fromDisk = true;
    return true;
}

void AssemblerEngine::ResolveLabels()
{
    for (TInstruction& ins : m_program) {
        if (m_reportProgress)
            emit ActualLine(ins.Line);
        m_currentFileIndex = ins.FileIndex;
        if (!ins.FileName.isEmpty())
            m_currentFileName = ins.FileName;
        if (!ins.Label.isEmpty()) {
            const auto it = m_labelIndex.constFind(ins.Label);
            if (it == m_labelIndex.constEnd())
                fail(QStringLiteral("Label does not exist"), ins.Line);
            ins.Value = m_labels.at(it.value()).Address;
        }
        if (m_reportProgress)
            emit LineDone();
    }
}
