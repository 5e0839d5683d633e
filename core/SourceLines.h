#pragma once

#include <QStringRef>
#include <QtGlobal>

// The lines of a source, one at a time, so that a source need not be held whole. A line feed
// ends a line and the text after the last one is one more line (empty when the text ends with a
// line feed): a text has one line more than it has line feeds.
class SourceLines
{
public:
    virtual ~SourceLines() = default;

    // The next line without its line feed, valid until the next call; false after the last.
    virtual bool next(QStringRef* line) = 0;
    // Characters (or bytes) of the whole source as far as known beforehand, 0 when unknown.
    virtual qint64 sizeHint() const { return 0; }
};
