#pragma once

#include <QString>

#include <cstdio>

class ProgramTransfer;

// Shows how far a transfer is on standard error: a bar redrawn in place on a terminal, else a
// plain line at every tenth of the way, so logs stay short.
class TransferProgress
{
public:
    // verb: "Downloading", "Reading back"; total: the number of words expected.
    TransferProgress(ProgramTransfer* transfer, const QString& verb, std::FILE* out = stderr);

    void setTotal(int total) { m_total = total; }
    void show(int done);
    // Ends the bar's line; without a bar, a last line tells where the transfer ended.
    void finish();

private:
    QString m_verb;
    std::FILE* m_out;
    bool m_terminal;
    int m_total = 0;
    int m_shown = -1;   // the last tenth (lines) or percent (bar) shown
    int m_done = 0;
    int m_printed = -1; // the count in the last line printed
    bool m_open = false;
};
