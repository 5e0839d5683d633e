#include "TransferScript.h"

#include "CaseFile.h"
#include "ModuleCommands.h"
#include "TestData.h"

#include <QtTest>

#include <memory>

namespace TransferScript {

Command Answer(int status)
{
    if (status == Invalid)
        return Command();
    Command c = RecordingConnection::reply(uint8_t(status == StoredButInvalid ? 101 : status));
    c.setValid(status != StoredButInvalid);
    return c;
}

void Script(RecordingConnection& module, int faultAt, int faultStatus, QList<TInstruction> memory)
{
    auto count = std::make_shared<int>(0);
    module.setResponder([=](const Command& request) {
        if (request.command() == ModuleCommand::ReadMem) {
            if (request.value() == faultAt || request.value() >= memory.size())
                return Command();
            const TInstruction& i = memory.at(request.value());
            Command c = Answer(100);
            c.setAddress(i.Opcode);
            c.setStatus(uint8_t(i.Type));
            c.setCommand(i.Motor);
            c.setValue(int(i.Value));
            return c;
        }
        if ((*count)++ == faultAt)
            return Answer(faultStatus);
        const auto command = request.command();
        return Answer(command == ModuleCommand::DownloadStart || command == ModuleCommand::DownloadEnd
                              || command == 0 ? 100 : 101);
    });
}

bool ScriptCase(RecordingConnection& module, const QStringList& body, QList<TInstruction>* memory)
{
    int faultAt = -1;
    int faultStatus = 0;
    bool ok = true;
    for (const QString& line : body) {
        const QStringList w = line.split(' ', Qt::SkipEmptyParts);
        TInstruction word;
        if (w.value(0) == QLatin1String("fault") && w.size() == 3) {
            faultAt = w[1].toInt(&ok);
            faultStatus = w[2] == QLatin1String("none")             ? Invalid
                          : w[2] == QLatin1String("stored-invalid") ? StoredButInvalid
                                                                    : w[2].toInt(&ok);
        } else if (w.value(0) == QLatin1String("fill") && w.size() == 2) {
            for (int a = 0, n = w[1].toInt(&ok); a < n; ++a)
                memory->append(MakeInstruction(1, 0, 0, a));
        } else if (ParseCaseWord(line, &word)) {
            memory->append(word);
        } else {
            ok = false;
        }
        if (!ok)
            return false;
    }
    Script(module, faultAt, faultStatus, *memory);
    return true;
}

QMap<QString, QString> ScriptCaseRow(RecordingConnection& module, QList<TInstruction>* memory)
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    if (!ScriptCase(module, body, memory))
        QTest::qFail("a case body not understood", __FILE__, __LINE__);
    return CaseItems(results);
}

QList<int> CommandBytes(const RecordingConnection& module)
{
    QList<int> bytes;
    for (const Command& c : module.requests())
        bytes.append(c.command());
    return bytes;
}

QString CommandByteText(const RecordingConnection& module)
{
    QStringList bytes;
    for (int byte : CommandBytes(module))
        bytes << QString::number(byte);
    return bytes.join(' ');
}

} // namespace TransferScript
