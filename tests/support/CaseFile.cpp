#include "CaseFile.h"

#include "Globals.h"
#include "ModuleCommands.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

bool ReadCaseFile(const QString& name, QVector<TCase>* cases, QString* error)
{
    QFile file(QStringLiteral(KROL_SOURCE_DIR "/tests/cases/") + name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = file.fileName() + ": " + file.errorString();
        return false;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    enum { Outside, InBody, InResults } where = Outside;
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const QString at = QStringLiteral("%1:%2: ").arg(name).arg(i + 1);
        if (line.startsWith(QLatin1String("== "))) {
            if (where == InBody)
                break;
            cases->append({at + line.mid(3), {}, {}});
            where = InBody;
        } else if (line.startsWith(QLatin1String("-> ")) || line == QLatin1String("->")) {
            if (where == Outside) {
                *error = at + "a result outside a case";
                return false;
            }
            cases->last().Results.append(line.mid(3));
            where = InResults;
        } else if (where == InBody) {
            cases->last().Body.append(line);
        } else if (!line.trimmed().isEmpty() && !line.startsWith('#')) {
            *error = at + "text after the results; a case starts with \"== \"";
            return false;
        } else {
            where = Outside;   // the results of a case are one run of lines
        }
    }
    if (where == InBody) {
        *error = cases->last().Where + ": no \"-> \" result";
        return false;
    }
    if (cases->isEmpty())
        *error = name + ": no cases";
    return !cases->isEmpty();
}

bool AddCaseRows(const QString& name)
{
    QTest::addColumn<QStringList>("body");
    QTest::addColumn<QStringList>("results");
    QVector<TCase> cases;
    QString error;
    if (!ReadCaseFile(name, &cases, &error)) {
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        return false;
    }
    for (const TCase& c : cases)
        QTest::newRow(qPrintable(c.Where)) << c.Body << c.Results;
    return true;
}

QStringList CasePairs(const QString& line)
{
    static const QRegularExpression nextPair(QStringLiteral(" +(?=[A-Za-z_][A-Za-z0-9_/]*=)"));
    return line.trimmed().split(nextPair, Qt::SkipEmptyParts);
}

bool ParseCaseWord(const QString& text, TInstruction* word)
{
    const QStringList parts = text.simplified().split(' ', Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 4)
        return false;
    bool ok = true;
    const TInstructionRow* row = FindInstruction(parts[0]);
    *word = TInstruction();
    static const QHash<QString, int> requests{
        {"ApplStop", ModuleCommand::ApplStop}, {"ApplRun", ModuleCommand::ApplRun},
        {"ApplStep", ModuleCommand::ApplStep}, {"ApplReset", ModuleCommand::ApplReset},
        {"DownloadStart", ModuleCommand::DownloadStart}, {"DownloadEnd", ModuleCommand::DownloadEnd},
        {"ReadMem", ModuleCommand::ReadMem}, {"GetStatus", ModuleCommand::GetStatus},
        {"Breakpoint", ModuleCommand::Breakpoint}};
    word->Opcode = row                           ? row->Opcode
                   : requests.contains(parts[0]) ? uint8_t(requests.value(parts[0]))
                                                 : uint8_t(parts[0].toUInt(&ok, 0));
    qint64 numbers[3] = {0, 0, 0};
    for (int i = 1; ok && i < parts.size(); ++i) {
        const int keyword = i == 1 && row && TypeKeywordTable(row->TypeKind)
                                ? FindKeyword(TypeKeywordTable(row->TypeKind), parts[i])
                                : -1;
        numbers[i - 1] = keyword >= 0 ? keyword : parts[i].toLongLong(&ok, 0);
    }
    word->Type = uint16_t(numbers[0]);
    word->Motor = uint8_t(numbers[1]);
    word->Value = numbers[2];
    return ok;
}
