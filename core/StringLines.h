#pragma once

#include "SourceLines.h"

#include <QString>

// The lines of a text held in memory: an editor page, standard input, an include file.
class StringLines : public SourceLines
{
public:
    explicit StringLines(const QString& text) : m_text(text) {}

    bool next(QStringRef* line) override;
    qint64 sizeHint() const override { return m_text.size(); }

private:
    const QString m_text;   // shared with the caller's, not copied
    int m_start = 0;
    bool m_done = false;
};
