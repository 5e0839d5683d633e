#pragma once

#include "KrolHostGlobal.h"

#include <QSet>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

// Colours KROL source: instruction mnemonics and operand keywords, "//" comments and assembler
// directives. A line's colours never depend on another line (KROL has no block comments), so an
// edit re-highlights only the edited line.
class KROLHOST_EXPORT Highlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit Highlighter(QTextDocument* document = nullptr);

    // One more word shown as a command keyword (the module's own WAIT events, for instance).
    void addKeyword(const QString& keyword);

    // Text and background colours of commands, comments and directives. With caseSensitive
    // false a keyword matches in any letter case, as the assembler reads it.
    void SetHighlightingRules(const QColor& commandFg, const QColor& commandBg, const QColor& commentFg,
                              const QColor& commentBg, const QColor& directiveFg, const QColor& directiveBg,
                              bool caseSensitive);

protected:
    void highlightBlock(const QString& text) override;

private:
    void rehighlightSoon();
    bool isKeyword(const QStringRef& word);
    bool isDirectiveWord(const QStringRef& word) const;

    QSet<QString> keywords_;      // as written
    QSet<QString> upperKeywords_; // upper-cased, for matching in any case
    QString scratch_;             // reused for upper-casing words, so a line allocates nothing
    QTextCharFormat command_;
    QTextCharFormat comment_;
    QTextCharFormat directive_;
    bool caseSensitive_ = false;
    bool rehighlightQueued_ = false;
};
