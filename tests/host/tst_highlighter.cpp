#include "CaseFile.h"
#include "Highlighter.h"

#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// Counts the lines it is asked to colour.
class CountingHighlighter : public Highlighter
{
public:
    using Highlighter::Highlighter;
    int calls = 0;

protected:
    void highlightBlock(const QString& text) override
    {
        ++calls;
        Highlighter::highlightBlock(text);
    }
};

// A document laid out as an editor page's: without a layout it announces no changes to highlight.
class PageDocument : public QTextDocument
{
public:
    PageDocument() { setDocumentLayout(new QPlainTextDocumentLayout(this)); }
};

const QColor CommandFg(1, 2, 200), CommandBg(250, 250, 251);
const QColor CommentFg(3, 150, 4), CommentBg(252, 252, 253);
const QColor DirectiveFg(90, 5, 6), DirectiveBg(254, 254, 255);

// One letter per character of a line: c command, m comment, d directive (text and background
// colours both right), . plain.
QString classes(const QTextDocument& doc, int blockNumber = 0)
{
    const QTextBlock block = doc.findBlockByNumber(blockNumber);
    QString out(block.length() - 1, QLatin1Char('.'));
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        const QColor fg = r.format.foreground().color();
        const QColor bg = r.format.background().color();
        const QChar mark = fg == CommandFg && bg == CommandBg       ? QLatin1Char('c')
                         : fg == CommentFg && bg == CommentBg       ? QLatin1Char('m')
                         : fg == DirectiveFg && bg == DirectiveBg ? QLatin1Char('d') : QLatin1Char('?');
        for (int i = r.start; i < r.start + r.length; ++i)
            out[i] = mark;
    }
    return out;
}

void setRules(Highlighter& h, bool caseSensitive)
{
    h.SetHighlightingRules(CommandFg, CommandBg, CommentFg, CommentBg, DirectiveFg, DirectiveBg, caseSensitive);
}

} // namespace

class tst_Highlighter : public QObject
{
    Q_OBJECT

private slots:
    void tokenClasses_data();
    void tokenClasses();
    void addedKeywordColoursExistingText();
    void newColoursRecolourAtOnce();
    void keystrokeColoursOnlyItsLine();
};

// tests/cases/highlighter.cases.
void tst_Highlighter::tokenClasses_data()
{
    AddCaseRows("highlighter.cases");
}

void tst_Highlighter::tokenClasses()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    const bool caseSensitive = results.value(0).startsWith(QLatin1String("case-sensitive: "));
    PageDocument doc;
    Highlighter h(&doc);
    setRules(h, caseSensitive);
    doc.setPlainText(body.value(0));
    QCOMPARE(classes(doc), caseSensitive ? results.value(0).mid(16) : results.value(0));
}

void tst_Highlighter::addedKeywordColoursExistingText()
{
    PageDocument doc;
    Highlighter h(&doc);
    setRules(h, false);
    doc.setPlainText(QStringLiteral("WAIT HOMED, 0, 0"));
    QCOMPARE(classes(doc), QStringLiteral("cccc............"));
    h.addKeyword(QStringLiteral("HOMED"));
    QTRY_COMPARE(classes(doc), QStringLiteral("cccc.ccccc......"));
}

void tst_Highlighter::newColoursRecolourAtOnce()
{
    PageDocument doc;
    Highlighter h(&doc);
    doc.setPlainText(QStringLiteral("STOP"));
    setRules(h, false);
    QCOMPARE(classes(doc), QStringLiteral("cccc"));
}

void tst_Highlighter::keystrokeColoursOnlyItsLine()
{
    PageDocument doc;
    CountingHighlighter h(&doc);
    setRules(h, false);
    QStringList text;
    for (int i = 0; i < 1000; ++i)
        text << QStringLiteral("ROR 0, %1 // turn").arg(i);
    doc.setPlainText(text.join(QLatin1Char('\n')));
    QVERIFY(h.calls >= 1000);

    h.calls = 0;
    QTextCursor c(doc.findBlockByNumber(500));
    c.insertText(QStringLiteral("/"));
    QCOMPARE(h.calls, 1);
    c.movePosition(QTextCursor::EndOfBlock);
    c.insertText(QStringLiteral("\nSTOP"));
    QCOMPARE(h.calls, 3); // the split line and the new one
    QCOMPARE(classes(doc, 501), QStringLiteral("cccc"));
}

QTEST_MAIN(tst_Highlighter)
#include "tst_highlighter.moc"
