#include "TraceWriter.h"

#include <cerrno>

#include "CDisAsmError.h"
#include "InstructionWriter.h"
#include "SimProgram.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace {

constexpr size_t BufferSize = 1 << 16;
constexpr int TimeWidth = 8;
constexpr int AddressWidth = 4;

void appendNumber(std::string& out, int64_t number, int width = 0)
{
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    const int length = int(end - digits);
    if (length < width)
        out.append(size_t(width - length), ' ');
    out.append(digits, size_t(length));
}

// The word as the module holds it: the type keeps its low 8 bits, the value 32.
TInstruction storedWord(const TInstruction& instruction)
{
    TInstruction word;
    word.Opcode = instruction.Opcode;
    word.Type = instruction.Type & 0xFF;
    word.Motor = instruction.Motor;
    word.Value = int32_t(uint32_t(instruction.Value));
    return word;
}

// The instruction as the disassembler writes it; a word it cannot write (put there with CODE)
// as the CODE line that makes it.
std::string instructionText(const InstructionWriter& writer, int address, const TInstruction& word)
{
    try {
        return writer.Text(address, word).toStdString();
    } catch (const CDisAsmError&) {
        return QStringLiteral("CODE %1, %2, %3, %4")
            .arg(word.Opcode)
            .arg(word.Type)
            .arg(word.Motor)
            .arg(word.Value)
            .toStdString();
    }
}

// A jump target as the source names it ("CSUB outer"); the writer puts it last, as "Lbl" and
// the address.
std::string withSourceLabel(const SimProgram& program, std::string text)
{
    const size_t at = text.rfind(" Lbl");
    if (at == std::string::npos || at + 4 == text.size()
        || text.find_first_not_of("0123456789", at + 4) != std::string::npos)
        return text;
    const QString label = program.label(std::atoi(text.c_str() + at + 4));
    if (!label.isEmpty())
        text.replace(at + 1, std::string::npos, label.toStdString());
    return text;
}

} // namespace

TraceWriter::TraceWriter(const SimProgram& program, std::FILE* out)
    : m_program(program), m_out(out)
{
    const InstructionWriter writer(program.waitEvents());
    const QList<TInstruction>& list = program.instructions();
    std::vector<std::string> locations(size_t(list.size()));
    std::vector<std::string> instructions(size_t(list.size()));
    for (int address = 0; address < list.size(); ++address) {
        locations[size_t(address)] = program.location(address).toStdString();
        instructions[size_t(address)] = withSourceLabel(
            program, instructionText(writer, address, storedWord(list.at(address))));
        m_locationWidth = std::max(m_locationWidth, locations[size_t(address)].size());
        m_instructionWidth = std::max(m_instructionWidth, instructions[size_t(address)].size());
    }
    m_texts.reserve(size_t(list.size()));
    for (size_t address = 0; address < locations.size(); ++address)
        m_texts.push_back(addressText(int(address), locations[address], instructions[address]));
    m_buffer.reserve(BufferSize);
}

TraceWriter::~TraceWriter()
{
    flush();
}

std::string TraceWriter::addressText(int address, const std::string& location,
                                     const std::string& instruction) const
{
    std::string text;
    appendNumber(text, address, AddressWidth);
    text += "  ";
    if (m_program.fromSource()) {
        text += location;
        text.append(m_locationWidth - std::min(m_locationWidth, location.size()) + 2, ' ');
    }
    text += instruction;
    text.append(m_instructionWidth - std::min(m_instructionWidth, instruction.size()) + 2, ' ');
    text += "A=";
    return text;
}

void TraceWriter::write(const TTraceStep& step)
{
    if (m_failed)
        return;
    appendNumber(m_buffer, step.TimeMs, TimeWidth);
    m_buffer += " ms  ";
    if (step.Address >= 0 && size_t(step.Address) < m_texts.size()) {
        m_buffer += m_texts[size_t(step.Address)];
    } else {
        // Only words of the program run, but the module is the judge of that.
        TInstruction word;
        word.Opcode = step.Opcode;
        word.Type = step.Type;
        word.Motor = step.Motor;
        word.Value = step.Value;
        m_buffer += addressText(step.Address, std::string(),
                                instructionText(InstructionWriter(m_program.waitEvents()),
                                                step.Address, word));
    }
    appendNumber(m_buffer, step.A);
    m_buffer += " X=";
    appendNumber(m_buffer, step.X);
    m_buffer += '\n';
    if (m_buffer.size() >= BufferSize - 256)
        drain();
}

void TraceWriter::drain()
{
    if (!m_failed && !m_buffer.empty()
        && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_out) != m_buffer.size()) {
        m_failed = true;
        m_error = errno;
    }
    m_buffer.clear();
}

bool TraceWriter::flush()
{
    drain();
    if (!m_failed && std::fflush(m_out) != 0) {
        m_failed = true;
        m_error = errno;
    }
    return !m_failed;
}

QString TraceWriter::errorString() const
{
    return qt_error_string(m_error);
}
