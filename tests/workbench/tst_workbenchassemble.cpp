#include "BinaryFile.h"
#include "CaseFile.h"
#include "WorkbenchTest.h"

#include <QtTest>

// The Assemble command of a workbench loaded from the plug-in file: include files taken from
// open pages first, the throwback of an error to its page and line, and when the assembler's
// window stays open.
class tst_WorkbenchAssemble : public WorkbenchTest
{
    Q_OBJECT

public:
    tst_WorkbenchAssemble() : WorkbenchTest(1, {{"WriteBinaryFile", true}, {"ConfirmAssembler", false}}) {}

private slots:
    void session_data();
    void session();

private:
    bool step(const QString& verb, const QString& args) override;
    QString value(const QString& key) override;

    QString m_message;
};

// tests/cases/workbench-assemble.cases.
void tst_WorkbenchAssemble::session_data()
{
    AddCaseRows("workbench-assemble.cases");
}

void tst_WorkbenchAssemble::session()
{
    m_message.clear();
    runSteps();
}

bool tst_WorkbenchAssemble::step(const QString& verb, const QString& args)
{
    if (verb == "confirm") {
        writeOptions({{"WriteBinaryFile", true}, {"ConfirmAssembler", true}});
        makeWorkbench();
    } else if (verb == "assembler") {
        m_answers->click(QStringLiteral("OK"), [this](QWidget* w) {
            if (auto* label = w->findChild<QLabel*>(QStringLiteral("LblAsmMessage")))
                m_message = label->text();
        });
    } else {
        return WorkbenchTest::step(verb, args);
    }
    return true;
}

QString tst_WorkbenchAssemble::value(const QString& key)
{
    if (key == "message")
        return m_message;
    if (key != "binary")
        return WorkbenchTest::value(key);
    QList<TInstruction> program;
    QString error;
    const QString path = m_dir.filePath(QStringLiteral("main.bin"));
    if (!QFile::exists(path))
        return QStringLiteral("(missing)");
    if (BinaryFile::Read(path, &program, &error) != BinaryFile::ReadStatus::Ok || program.isEmpty())
        return "(unreadable) " + error;
    return QString::number(program.first().Value);
}

QTEST_MAIN(tst_WorkbenchAssemble)
#include "tst_workbenchassemble.moc"
