#include "Highlighter.h"

#include "EditorColour.h"
#include "Globals.h"

#include <QTextDocument>
#include <QTimer>

namespace {

// Operand words the assembler reads by name besides the keyword tables: move modes and RFS modes.
const char* const ModeWords[] = {"ABS", "REL", "COORD", "RELCOORD", "START", "STATUS"};

// Raw instruction words are written with pseudo-instructions of the assembler, not module commands.
const char* const RawWordDirectives[] = {"CODE", "CODEB"};

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

QTextCharFormat makeFormat(const QColor& fg, const QColor& bg)
{
    QTextCharFormat f;
    f.setForeground(fg);
    f.setBackground(bg);
    return f;
}

} // namespace

Highlighter::Highlighter(QTextDocument* document)
    : QSyntaxHighlighter(document)
{
    for (const TInstructionRow* row = KROLInstructions; !row->Mnemonic.isEmpty(); ++row)
        addKeyword(row->Mnemonic);
    for (const QString* table : {ConditionMnemonic, CalcMnemonic, CalcxMnemonic, CalceMnemonic, CalcvMnemonic,
                                 CleMnemonic, WaitEventMnemonic}) {
        for (int i = 0; !table[i].isEmpty(); ++i) {
            if (table[i] != QLatin1String("!!!"))
                addKeyword(table[i]);
        }
    }
    for (const char* word : ModeWords)
        addKeyword(QLatin1String(word));

    const TEditorColourMap& c = EditorColour::KROL;
    const TEditorColour command = c.value(QLatin1String(EditorColour::KROLCommand));
    const TEditorColour comment = c.value(QLatin1String(EditorColour::Comment));
    const TEditorColour directive = c.value(QLatin1String(EditorColour::AsmDirective));
    SetHighlightingRules(command.Foreground, command.Background, comment.Foreground, comment.Background,
                         directive.Foreground, directive.Background, false);
}

void Highlighter::addKeyword(const QString& keyword)
{
    if (keyword.isEmpty() || keywords_.contains(keyword))
        return;
    keywords_.insert(keyword);
    upperKeywords_.insert(keyword.toUpper());
    rehighlightSoon();
}

void Highlighter::SetHighlightingRules(const QColor& commandFg, const QColor& commandBg, const QColor& commentFg,
                                       const QColor& commentBg, const QColor& directiveFg,
                                       const QColor& directiveBg, bool caseSensitive)
{
    command_ = makeFormat(commandFg, commandBg);
    comment_ = makeFormat(commentFg, commentBg);
    directive_ = makeFormat(directiveFg, directiveBg);
    caseSensitive_ = caseSensitive;
    // Colours are chosen rarely and the user expects to see them at once.
    if (document() && !document()->isEmpty())
        rehighlight();
}

// A page gets its module's keywords one by one right after it is made: one pass afterwards is enough.
void Highlighter::rehighlightSoon()
{
    if (rehighlightQueued_ || !document() || document()->isEmpty())
        return;
    rehighlightQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        rehighlightQueued_ = false;
        rehighlight();
    });
}

bool Highlighter::isKeyword(const QStringRef& word)
{
    if (caseSensitive_) {
        scratch_.setRawData(word.constData(), word.size()); // no copy: the set only reads it
        const bool found = keywords_.contains(scratch_);
        scratch_.clear();
        return found;
    }
    scratch_.resize(word.size());
    QChar* out = scratch_.data();
    for (const QChar c : word)
        *out++ = c.toUpper();
    return upperKeywords_.contains(scratch_);
}

bool Highlighter::isDirectiveWord(const QStringRef& word) const
{
    for (const char* d : RawWordDirectives) {
        if (caseSensitive_ ? word == QLatin1String(d) : word.compare(QLatin1String(d), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void Highlighter::highlightBlock(const QString& text)
{
    const int comment = text.indexOf(QLatin1String("//"));
    const int end = comment < 0 ? text.size() : comment;
    if (comment >= 0)
        setFormat(comment, text.size() - comment, comment_);

    int i = 0;
    while (i < end && text.at(i).isSpace())
        ++i;
    // "#include" and any other '#' word: the assembler treats the whole line as a directive.
    if (i < end && text.at(i) == QLatin1Char('#')) {
        int j = i + 1;
        while (j < end && isWordChar(text.at(j)))
            ++j;
        setFormat(i, j - i, directive_);
        return;
    }

    while (i < end) {
        const QChar c = text.at(i);
        if (isWordStart(c)) {
            int j = i + 1;
            while (j < end && isWordChar(text.at(j)))
                ++j;
            const QStringRef word = text.midRef(i, j - i);
            // A label definition stays plain, whatever its name.
            const bool label = j < end && text.at(j) == QLatin1Char(':');
            if (!label && isDirectiveWord(word))
                setFormat(i, j - i, directive_);
            else if (!label && isKeyword(word))
                setFormat(i, j - i, command_);
            i = j;
        } else if (c.isDigit()) {
            // A number such as 0x1F or 1E3: its letters are not words.
            while (i < end && isWordChar(text.at(i)))
                ++i;
        } else {
            ++i;
        }
    }
}
