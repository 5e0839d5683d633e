#pragma once

#include "ModuleDescription.h"

#include <QByteArray>

// Reads a module description written in the plain form the descriptions in modules/ have
// (ASCII text without escapes, integers without fraction or exponent, every key once and every
// value of its expected kind, every rule kept) straight into a ModuleDescription, several times
// faster than through QJsonDocument; `krol asm` loads one for every source. It judges nothing:
// for any other text, valid or not, it answers false and the caller takes the full route, which
// reads what JSON allows and names every fault.
class PlainDescriptionReader
{
public:
    static bool read(const QByteArray& json, ModuleDescription* description);

private:
    explicit PlainDescriptionReader(const QByteArray& json)
        : m_at(json.constData()), m_end(json.constData() + json.size())
    {
    }

    // An object, its members read by member(key, size) after each key.
    template <typename Member>
    bool object(Member member);
    bool top(ModuleDescription* d);
    bool maps(QMap<QString, ParameterMap>* maps);
    bool map(ParameterMap* map);
    bool record(Parameter* p);

    // Each reads one JSON element after optional white space.
    bool punctuation(char c);
    bool key(const char** begin, int* size);   // a string and the colon after it
    bool string(const char** begin, int* size);
    bool text(QString* s);
    bool integer(qint64* v);
    bool boolean(bool* b);
    // After a member: true and *more for a comma, true and !*more for the closing brace.
    bool next(bool* more);
    void space();

    const char* m_at;
    const char* m_end;
};
