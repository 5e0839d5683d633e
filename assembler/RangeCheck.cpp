#include "RangeCheck.h"

#include "CAsmError.h"
#include "ModuleCommands.h"

namespace {

[[noreturn]] void Fail(const TInstruction& in, const char* message)
{
    throw CAsmError(QString::fromLatin1(message), in.Line, in.FileName, in.FileIndex);
}

// Value is 64-bit, Min signed 32 and Max unsigned 32: widening both bounds to 64 bits keeps
// a Max with all 32 bits set at 4294967295 and never overflows.
bool InRange(int64_t value, int32_t min, uint32_t max)
{
    return value >= static_cast<int64_t>(min) && value <= static_cast<int64_t>(max);
}

bool HasNoRange(const TParameterDescriptor& d)
{
    return d.Min == 0 && d.Max == 0;
}

// The set, add and get instructions of axis or global parameters and their messages; any
// other instruction of the family stores or restores.
struct ParameterAccess
{
    uint8_t set, add, get;
    const char* notWritable;
    const char* notReadable;
    const char* notStorable;
    const char* tooLow;
    const char* tooHigh;
};

void CheckAccess(const ParameterAccess& a, const TInstruction& in, const TParameterDescriptor& d)
{
    if (in.Opcode == a.set || in.Opcode == a.add) {
        if (!d.Writable)
            Fail(in, a.notWritable);
    } else if (in.Opcode == a.get) {
        if (!d.Readable)
            Fail(in, a.notReadable);
    } else if (!d.Storable) {
        Fail(in, a.notStorable);
    }
    if (in.Opcode == a.set && !HasNoRange(d)) {
        if (in.Value < d.Min)
            Fail(in, a.tooLow);
        if (in.Value > static_cast<int64_t>(d.Max))
            Fail(in, a.tooHigh);
    }
}

bool ContainsNumber(const TParameterList& list, int64_t key)
{
    for (const TParameterDescriptor& d : list) {
        if (static_cast<int64_t>(d.Number) == key)
            return true;
    }
    return false;
}

bool AxisExists(const TRangeSettings& r, uint8_t motor)
{
    return motor < r.NumberOfAxes;
}

// Fewer lists than axes (a caller's mismatch) reads as an empty list, never out of bounds.
const TParameterList* ListAt(const QList<TParameterList>& lists, int index)
{
    return index < lists.size() ? &lists.at(index) : nullptr;
}

// 2 to the power n, for the axis mask of MVP COORD; the mask holds 6 bits, so n >= 6 admits all.
bool MaskBelowAxisCount(uint8_t motor, int n)
{
    if (n >= 6)
        return true;
    if (n <= 0)
        return (motor & 63) < 1;
    return (motor & 63) < (1 << n);
}

// Bits n to 6 of the CCO motor byte: those name axes the module does not have.
bool HasBitsAboveAxes(uint8_t motor, int n)
{
    if (n >= 7)
        return false;
    const int low = n < 0 ? 0 : n;
    const int mask = 0x7F & ~((1 << low) - 1);
    return (motor & mask) != 0;
}

void CheckCommand(const TRangeSettings& r, const TInstruction& in)
{
    if (r.HasSupportedOpcodes) {
        if (!r.SupportedOpcodes.test(in.Opcode))
            Fail(in, "Command not supported by module");
        return;
    }
    const QString opcode = QString::number(in.Opcode);
    if (r.CommandList == nullptr || !r.CommandList->contains(opcode))
        Fail(in, "Command not supported by module");
}

void CheckAxisNumber(const TRangeSettings& r, const TInstruction& in)
{
    const int n = r.NumberOfAxes;
    switch (in.Opcode) {
    case Opcode::ROR: case Opcode::ROL: case Opcode::MST: case Opcode::SAP: case Opcode::GAP:
    case Opcode::RFS: case Opcode::AAP: case Opcode::ACO:
        if (!AxisExists(r, in.Motor))
            Fail(in, "Axis number out of range");
        break;
    case Opcode::MVP:
        if (in.Type == 2 && r.MultiAxisFlag) {
            if (in.Motor & 0xC0) {
                if (!MaskBelowAxisCount(in.Motor, n))
                    Fail(in, "Invalid axis bits set");
            } else if (!AxisExists(r, in.Motor)) {
                Fail(in, "Axis number out of range");
            }
            if (!ContainsNumber(r.CoordinateList, in.Value))
                Fail(in, "Coordinate index out of range");
        } else if (!AxisExists(r, in.Motor)) {
            Fail(in, "Axis number out of range");
        }
        break;
    case Opcode::WAIT:
        if (in.Type != 0 && !AxisExists(r, in.Motor))
            Fail(in, "Axis number out of range");
        break;
    case Opcode::SCO: case Opcode::GCO:
        if (!AxisExists(r, in.Motor) && !(in.Motor == 255 && r.CoordinateEepromFlag))
            Fail(in, "Axis number out of range");
        break;
    case Opcode::CCO:
        if (r.MultiAxisFlag && (in.Motor & 0x80)) {
            if (HasBitsAboveAxes(in.Motor, n))
                Fail(in, "Invalid axis bits set");
        } else if (!AxisExists(r, in.Motor)) {
            Fail(in, "Axis number out of range");
        }
        break;
    default:
        break;
    }
}

void CheckRotationSpeed(const TRangeSettings& r, const TInstruction& in)
{
    const TParameterList* axis = ListAt(r.AxisParameterLists, in.Motor);
    const TParameterDescriptor* d = axis ? FindParameter(*axis, r.VelocityParameter) : nullptr;
    int32_t min = -2147483647;
    uint32_t max = 2147483647u;
    if (d != nullptr && !HasNoRange(*d)) {
        min = d->Min;
        max = d->Max;
    }
    if (!InRange(in.Value, min, max))
        Fail(in, "ROL/ROR motor speed range exceeded");
}

void CheckAxisParameter(const TRangeSettings& r, const TInstruction& in)
{
    // STAP and RSAP have no axis check of their own; a motor beyond the module's axes is
    // reported as such rather than as a missing parameter.
    if ((in.Opcode == Opcode::STAP || in.Opcode == Opcode::RSAP) && !AxisExists(r, in.Motor))
        Fail(in, "Axis number out of range");

    const TParameterList* axis = ListAt(r.AxisParameterLists, in.Motor);
    const TParameterDescriptor* d = axis ? FindParameter(*axis, in.Type) : nullptr;
    if (d == nullptr)
        Fail(in, "Axis parameter type not supported");

    static const ParameterAccess axisAccess{Opcode::SAP, Opcode::AAP, Opcode::GAP,
                                      "Axis parameter not writable", "Axis parameter not readable",
                                      "Axis parameter cannot be stored/restored",
                                      "Axis parameter too low", "Axis parameter too high"};
    CheckAccess(axisAccess, in, *d);
}

void CheckGlobalParameter(const TRangeSettings& r, const TInstruction& in)
{
    const TParameterList* bank = ListAt(r.GlobalParameterLists, in.Motor);
    if (bank == nullptr || bank->isEmpty())
        Fail(in, "Parameter bank not supported");
    const TParameterDescriptor* d = FindParameter(*bank, in.Type);
    if (d == nullptr)
        Fail(in, "Global parameter type not supported");

    static const ParameterAccess global{
        Opcode::SGP, Opcode::AGP, Opcode::GGP, "Global parameter not writable",
        "Global parameter not readable", "Global parameter cannot be stored/restored",
        "Global parameter too low", "Global parameter too high"};
    CheckAccess(global, in, *d);
}

void CheckIoPort(const TRangeSettings& r, const TInstruction& in)
{
    const TParameterList* bank = ListAt(r.IoPortLists, in.Motor);
    if (bank == nullptr || bank->isEmpty())
        Fail(in, "I/O port bank not supported");
    const TParameterDescriptor* d = FindParameter(*bank, in.Type);
    if (d == nullptr)
        Fail(in, "I/O port not supported");

    if (in.Opcode == Opcode::GIO) {
        if (!d->Readable)
            Fail(in, "I/O port not readable");
        return;
    }
    if (in.Type == 0 && in.Motor == 0) {
        // Port 0 of bank 0 written is the pull-up resistor mask, whatever port 0 itself allows.
        if (r.PullUpList.isEmpty())
            Fail(in, "Pull-up resistor switching not supported");
        const TParameterDescriptor& pullUp = r.PullUpList.first();
        if (!InRange(in.Value, pullUp.Min, pullUp.Max))
            Fail(in, "Pull-up resistor mask out of range");
        return;
    }
    if (!d->Writable)
        Fail(in, "I/O port not writable");
    if (!InRange(in.Value, d->Min, d->Max))
        Fail(in, "I/O port value out of range");
}

} // namespace

void CheckInstructionRanges(const TRangeSettings& ranges, const TInstruction& instruction)
{
    const TInstruction& in = instruction;
    CheckCommand(ranges, in);
    CheckAxisNumber(ranges, in);

    switch (in.Opcode) {
    case Opcode::ROR: case Opcode::ROL:
        CheckRotationSpeed(ranges, in);
        break;
    case Opcode::SAP: case Opcode::GAP: case Opcode::STAP: case Opcode::RSAP: case Opcode::AAP:
        CheckAxisParameter(ranges, in);
        break;
    case Opcode::SGP: case Opcode::GGP: case Opcode::STGP: case Opcode::RSGP: case Opcode::AGP:
        CheckGlobalParameter(ranges, in);
        break;
    case Opcode::EI: case Opcode::DI: case Opcode::VECT:
        if (!ContainsNumber(ranges.InterruptList, in.Type))
            Fail(in, "Interrupt type not supported");
        break;
    case Opcode::SCO: case Opcode::GCO: case Opcode::CCO: case Opcode::ACO:
        if (!ContainsNumber(ranges.CoordinateList, in.Type))
            Fail(in, "Coordinate index out of range");
        break;
    case Opcode::SIO: case Opcode::GIO:
        CheckIoPort(ranges, in);
        break;
    default:
        break;
    }
}

void CacheSupportedOpcodes(TRangeSettings* ranges)
{
    ranges->SupportedOpcodes.reset();
    ranges->HasSupportedOpcodes = true;
    if (!ranges->CommandList)
        return;
    for (const QString& entry : *ranges->CommandList) {
        bool ok = false;
        const int n = entry.toInt(&ok);
        if (ok && n >= 0 && n <= 255 && entry == QString::number(n))
            ranges->SupportedOpcodes.set(size_t(n));
    }
}
