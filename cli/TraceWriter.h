#pragma once

#include <QString>

#include "TTraceStep.h"

#include <cstdio>
#include <string>
#include <vector>

class SimProgram;

// Writes one line per executed instruction as the program runs:
//   TIME ms  ADDRESS  FILE:LINE  INSTRUCTION  A=a X=x
// (no FILE:LINE for a binary file). The text of each address is made once, padded so that the
// columns line up; a line costs only its numbers. Lines collect in a fixed buffer that goes out
// whenever it fills, so a long run streams and memory does not grow with the trace.
class TraceWriter
{
public:
    TraceWriter(const SimProgram& program, std::FILE* out);
    ~TraceWriter();

    void write(const TTraceStep& step);
    // Writes what is buffered; false once anything could not be written.
    bool flush();
    // The system's reason for the first failure.
    QString errorString() const;

private:
    void drain();
    std::string addressText(int address, const std::string& location,
                            const std::string& instruction) const;

    const SimProgram& m_program;
    std::FILE* m_out;
    std::vector<std::string> m_texts;   // per address: from the address up to "A="
    size_t m_locationWidth = 0;
    size_t m_instructionWidth = 0;
    std::string m_buffer;
    bool m_failed = false;
    int m_error = 0;
};
