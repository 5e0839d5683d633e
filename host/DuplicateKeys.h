#pragma once

#include <QByteArray>
#include <QString>

// The first object key that appears twice in a JSON text, as a fault for a module description
// ("map \"irq\" appears twice"); empty when there is none. Reads as far as the text is
// well-formed enough to follow and leaves syntax errors to the JSON reader.
QString FindDuplicateKey(const QByteArray& json);
