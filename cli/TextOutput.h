#pragma once

#include <QString>

// Writes a program text to a file or, for "-", to standard output, whole or not at all;
// prints the problem and returns false when it cannot.
namespace TextOutput {
bool write(const QString& path, const QString& text);
}
