#pragma once

#include "ModuleDescription.h"
#include "TInstruction.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>

// What every fuzz target shares: one core application for the engines, quiet logging and a
// private home folder, set up once before the first input.
namespace FuzzSupport {

// Creates the application once; safe to call again.
void initialize(int* argc, char*** argv);

// A file compiled into the fuzz targets (":/fuzz/virtual.json", ":/fuzz/virtual-module.inc").
QByteArray resource(const QString& path);

// A fuzz input as bytes, without copying when it is only read.
inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
}

// The virtual module's description compiled into the targets; one that does not load is a finding.
ModuleDescription virtualModule();

// True when both programs hold the same words, compared on the operands each instruction has
// (a text cannot carry the others); everything for an opcode that has no instruction.
bool sameWords(const QList<TInstruction>& a, const QList<TInstruction>& b);

// Ends the process with a message naming what went wrong; libFuzzer keeps the input.
[[noreturn]] void finding(const char* what, const QString& detail = QString());

} // namespace FuzzSupport

// The libFuzzer entry points each target defines.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
