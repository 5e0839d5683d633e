#include "KrolProcess.h"
#include "TestData.h"

#include <QRegularExpression>
#include <QtTest>

// Every KROL example of docs/krol-language.md (a block fenced as ```kro) is assembled with
// krol asm. Conventions of the page: a first line "// file: NAME" names an include file, which
// is only written; "// krol asm ARGS" adds arguments (paths of the source tree work); a comment
// "// error: MESSAGE" marks the line where the assembly must fail with MESSAGE, in the example
// or in an include file it names. Without a marker the example must assemble cleanly.
class tst_LanguageDoc : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void example_data();
    void example();

private:
    QMap<QString, QStringList> m_blocks;   // file name -> lines
    ScratchDir m_dir;
};

void tst_LanguageDoc::initTestCase()
{
    QVERIFY(m_dir.reset());
    QFile doc(sourceDir() + "/docs/krol-language.md");
    QVERIFY(doc.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(doc.readAll()).split('\n');
    const QRegularExpression fileLine("^// file: (\\S+)$");
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i) != "```kro")
            continue;
        QStringList block;
        while (++i < lines.size() && lines.at(i) != "```")
            block.append(lines.at(i));
        QVERIFY2(i < lines.size(), "an example block is not closed");
        const auto named = fileLine.match(block.value(0));
        const QString name =
            named.hasMatch() ? named.captured(1) : QString("example-line-%1.kro").arg(i - block.size());
        QVERIFY2(!m_blocks.contains(name), qPrintable(name));
        m_blocks.insert(name, block);
        m_dir.write(name, block.join('\n').toUtf8());
    }
    // The page teaches by example: a handful of blocks would mean the fences were broken.
    QVERIFY(m_blocks.size() >= 30);
}

void tst_LanguageDoc::example_data()
{
    QTest::addColumn<QString>("name");
    for (auto it = m_blocks.cbegin(); it != m_blocks.cend(); ++it) {
        if (!it.key().endsWith(".inc"))
            QTest::newRow(qPrintable(it.key())) << it.key();
    }
}

void tst_LanguageDoc::example()
{
    QFETCH(QString, name);
    const QStringList block = m_blocks.value(name);

    // The files whose markers count: the example and the include files it names.
    QStringList files{name};
    const QRegularExpression include("^\\s*#include\\s+\"?([^\"\\s]+)",
                                     QRegularExpression::CaseInsensitiveOption);
    QStringList arguments{"asm"};
    for (const QString& line : block) {
        const auto m = include.match(line);
        if (m.hasMatch() && m_blocks.contains(m.captured(1)))
            files.append(m.captured(1));
        if (line.startsWith("// krol asm ")) {
            for (const QString& a : line.mid(12).split(' ', Qt::SkipEmptyParts))
                arguments.append(QFileInfo::exists(sourceDir() + '/' + a) ? sourceDir() + '/' + a : a);
        }
    }
    arguments.append(name);

    QString expected;
    for (const QString& file : files) {
        const QStringList text = m_blocks.value(file);
        for (int n = 0; n < text.size(); ++n) {
            const int at = text.at(n).indexOf("// error: ");
            if (at < 0)
                continue;
            QVERIFY2(expected.isEmpty(), "one error marker per example");
            expected = "(^|/)" + QRegularExpression::escape(file) + ':' + QString::number(n + 1)
                       + ": error: " + QRegularExpression::escape(text.at(n).mid(at + 10).trimmed())
                       + "\n$";
        }
    }

    const KrolResult r = runKrol(arguments, m_dir.path());
    if (expected.isEmpty()) {
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QCOMPARE(r.exitCode, 0);
    } else {
        QVERIFY2(QRegularExpression(expected).match(r.err).hasMatch(),
                 qPrintable(r.err + " does not match " + expected));
        QCOMPARE(r.exitCode, 1);
    }
}

QTEST_GUILESS_MAIN(tst_LanguageDoc)
#include "tst_languagedoc.moc"
