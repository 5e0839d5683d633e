#include "Peripherals.h"

#include "ModuleCommands.h"

#include <algorithm>
#include <iterator>

using namespace Sim;

namespace {

enum MoveMode { Abs, Rel, Coord, RelCoord };
enum RfsMode { RfsStart, RfsStop, RfsStatus };

constexpr int AxisMaskMarkerMvp = 0xC0;   // bit 7 or bit 6 of MVP COORD's motor
constexpr int AxisMaskMarkerCco = 0x80;
constexpr int AxisMaskBits = 0x3F;

} // namespace

Peripherals::Peripherals()
{
    TRegisters r;
    powerOn(r);
}

void Peripherals::powerOn(TRegisters& r)
{
    for (VirtualAxis& a : m_axes)
        a.powerOn(m_nowMs);
    std::copy(std::begin(m_storedTimer), std::end(m_storedTimer), std::begin(m_timer));
    for (int i = 0; i < TimerCount; ++i)
        timerSet(i);
    std::copy(std::begin(m_storedVars), std::end(m_storedVars), std::begin(r.Vars));
    for (int a = 0; a < AxisCount; ++a)
        std::copy(std::begin(m_eepromCoord[a]), std::end(m_eepromCoord[a]), std::begin(m_coord[a]));
    std::fill(std::begin(m_output), std::end(m_output), 0);
    m_pullUps = 0;
    m_planChanged = true;
}

void Peripherals::stopMotors()
{
    for (VirtualAxis& a : m_axes)
        a.hardStop();
}

bool Peripherals::anyMoving() const
{
    for (const VirtualAxis& a : m_axes) {
        if (a.moving())
            return true;
    }
    return false;
}

void Peripherals::advanceTo(int64_t ms)
{
    m_nowMs = ms;
    for (VirtualAxis& a : m_axes)
        a.advanceTo(ms);
}

int64_t Peripherals::nextEventMs() const
{
    int64_t next = -1;
    for (const VirtualAxis& a : m_axes) {
        const int64_t e = a.nextEventMs();
        if (e >= 0 && (next < 0 || e < next))
            next = e;
    }
    return next;
}

uint64_t Peripherals::motionChanges() const
{
    uint64_t n = 0;
    for (const VirtualAxis& a : m_axes)
        n += a.changes();
    return n;
}

void Peripherals::timerSet(int i)
{
    m_timerSetMs[i] = m_nowMs;
    ++m_timerSettings[i];
}

bool Peripherals::takePlanChange()
{
    const bool changed = m_planChanged;
    m_planChanged = false;
    return changed;
}

void Peripherals::setDigitalInput(int port, bool on)
{
    if (port >= 0 && port < DigitalInputCount)
        m_input[port] = on;
}

void Peripherals::setAnalogInput(int port, int value)
{
    if (port >= 0 && port < AnalogInputCount)
        m_analog[port] = std::clamp(value, 0, AnalogMax);
}

int32_t Peripherals::output(int port) const
{
    return (port >= 0 && port < OutputCount) ? m_output[port] : 0;
}

uint8_t Peripherals::execute(const TDecodedWord& w, TRegisters& r, int32_t& value, bool direct)
{
    value = w.Value;
    int axis = w.Motor;
    int32_t operand = w.Value;
    uint8_t status = ReplyStatus::Ok;
    bool loadsA = false;

    // The forms that take the axis from X or the value from A.
    switch (w.Opcode) {
    case Opcode::SAPX: case Opcode::GAPX: case Opcode::AAPX:
    case Opcode::ROLXA: case Opcode::RORXA: case Opcode::MSTX: case Opcode::MVPXA:
        if (r.X < 0 || r.X >= AxisCount)
            return ReplyStatus::InvalidValue;
        axis = r.X;
        break;
    default:
        break;
    }
    switch (w.Opcode) {
    case Opcode::AAP: case Opcode::AAPX: case Opcode::AGP: case Opcode::MVPA: case Opcode::MVPXA:
    case Opcode::ROLA: case Opcode::RORA: case Opcode::ROLXA: case Opcode::RORXA:
        operand = r.A;
        value = r.A;
        break;
    default:
        break;
    }

    switch (w.Opcode) {
    case Opcode::ROR: case Opcode::RORA: case Opcode::RORXA:
        status = rotate(axis, operand);
        break;
    case Opcode::ROL: case Opcode::ROLA: case Opcode::ROLXA:
        status = rotate(axis, -int64_t(operand));
        break;
    case Opcode::MST: case Opcode::MSTX:
        if (axis >= AxisCount)
            return ReplyStatus::InvalidValue;
        m_axes[axis].softStop();
        m_planChanged = true;
        break;
    case Opcode::MVP: case Opcode::MVPA: case Opcode::MVPXA:
        status = move(w.Type, axis, operand);
        break;
    case Opcode::SAP: case Opcode::SAPX: case Opcode::AAP: case Opcode::AAPX:
        status = setAxisParameter(w.Type, axis, operand);
        break;
    case Opcode::GAP: case Opcode::GAPX:
        status = getAxisParameter(w.Type, axis, value);
        loadsA = true;
        break;
    case Opcode::STAP: case Opcode::RSAP:
        status = storeAxisParameter(w.Type, axis, w.Opcode == Opcode::RSAP);
        break;
    case Opcode::SGP: case Opcode::AGP:
        status = setGlobalParameter(w.Type, w.Motor, operand, r);
        break;
    case Opcode::GGP:
        status = getGlobalParameter(w.Type, w.Motor, value, r);
        loadsA = true;
        break;
    case Opcode::STGP: case Opcode::RSGP:
        status = storeGlobalParameter(w.Type, w.Motor, w.Opcode == Opcode::RSGP, r);
        break;
    case Opcode::RFS:
        status = referenceSearch(w.Type, axis, value);
        loadsA = w.Type == RfsStatus;
        break;
    case Opcode::SIO:
        status = setIo(w.Type, w.Motor, operand);
        break;
    case Opcode::GIO:
        status = getIo(w.Type, w.Motor, value);
        loadsA = true;
        break;
    case Opcode::SCO: case Opcode::GCO: case Opcode::CCO: case Opcode::ACO:
        status = coordinateOp(w, axis, r, value);
        loadsA = w.Opcode == Opcode::GCO && axis != CoordinateEepromMotor;
        break;
    case Opcode::SAC:
        // No bus is attached: what a transfer reads back is 0.
        value = 0;
        loadsA = true;
        break;
    default:
        // UF0 to UF15: no user function is installed.
        value = 0;
        break;
    }
    if (status == ReplyStatus::Ok && loadsA && !direct)
        r.A = value;
    return status;
}

uint8_t Peripherals::rotate(int axis, int64_t velocity)
{
    if (axis >= AxisCount)
        return ReplyStatus::InvalidValue;
    m_axes[axis].rotate(int32_t(std::clamp<int64_t>(velocity, -I32Max, I32Max)));
    m_planChanged = true;
    return ReplyStatus::Ok;
}

// MVP on one axis, or with COORD on every axis of a mask (motor with bit 7 or bit 6 set).
uint8_t Peripherals::move(int mode, int motor, int32_t value)
{
    if (mode > RelCoord)
        return ReplyStatus::WrongType;
    const bool coordinate = mode == Coord || mode == RelCoord;
    if (coordinate && (value < 0 || value >= CoordinateCount))
        return ReplyStatus::InvalidValue;
    int mask = 0;
    if (mode == Coord && (motor & AxisMaskMarkerMvp))
        mask = motor & AxisMaskBits;
    else if (motor < AxisCount)
        mask = 1 << motor;
    if (mask == 0 || mask >= (1 << AxisCount))
        return ReplyStatus::InvalidValue;
    for (int axis = 0; axis < AxisCount; ++axis) {
        if (!(mask & (1 << axis)))
            continue;
        VirtualAxis& a = m_axes[axis];
        // Relative moves count from the running target, or from where the axis is when it is
        // not positioning, so that a chain of relative moves adds up exactly.
        const int64_t base = a.inPositionMode() ? a.targetPosition() : a.actualPosition();
        switch (mode) {
        case Abs: a.moveTo(value); break;
        case Rel: a.moveTo(base + value); break;
        case Coord: a.moveTo(m_coord[axis][value]); break;
        default: a.moveTo(base + m_coord[axis][value]); break;
        }
    }
    m_planChanged = true;
    return ReplyStatus::Ok;
}

uint8_t Peripherals::setAxisParameter(int number, int axis, int32_t value)
{
    const TParameterInfo* p = FindInfo(AxisParameters, number);
    if (!p || !(p->access & W))
        return ReplyStatus::WrongType;
    if (axis >= AxisCount || !InRange(*p, value))
        return ReplyStatus::InvalidValue;
    m_axes[axis].setParameter(number, value);
    m_planChanged = true;
    return ReplyStatus::Ok;
}

uint8_t Peripherals::getAxisParameter(int number, int axis, int32_t& value) const
{
    const TParameterInfo* p = FindInfo(AxisParameters, number);
    if (!p || !(p->access & R))
        return ReplyStatus::WrongType;
    if (axis >= AxisCount)
        return ReplyStatus::InvalidValue;
    value = m_axes[axis].parameter(number);
    return ReplyStatus::Ok;
}

uint8_t Peripherals::storeAxisParameter(int number, int axis, bool restore)
{
    const TParameterInfo* p = FindInfo(AxisParameters, number);
    if (!p || !(p->access & E))
        return ReplyStatus::WrongType;
    if (axis >= AxisCount)
        return ReplyStatus::InvalidValue;
    if (restore)
        m_axes[axis].restore(number);
    else
        m_axes[axis].store(number);
    return ReplyStatus::Ok;
}

// The live value of a global parameter, its stored copy (null when it has none) and its range and access;
// null when the bank has no such parameter.
int32_t* Peripherals::globalSlot(int number, int bank, TRegisters& r, int32_t** stored,
                                 const TParameterInfo** info)
{
    static constexpr TParameterInfo variable{0, "", I32Min, I32Max, R | W | E, 0};
    *stored = nullptr;
    switch (bank) {
    case GlobalBank::Module:
        *info = FindInfo(ModuleParameters, number);
        if (!*info)
            return nullptr;
        *stored = &m_autoStart;   // auto start is kept across power cycles at once
        return &m_autoStart;
    case GlobalBank::UserVariables:
        if (number >= UserVariableCount)
            return nullptr;
        *info = &variable;
        *stored = &m_storedVars[number];
        return &r.Vars[number];
    case GlobalBank::Timers:
        *info = FindInfo(TimerParameters, number);
        if (!*info)
            return nullptr;
        *stored = &m_storedTimer[number];
        return &m_timer[number];
    default:
        return nullptr;
    }
}

uint8_t Peripherals::setGlobalParameter(int number, int bank, int32_t value, TRegisters& r)
{
    if (bank >= GlobalBankCount)
        return ReplyStatus::InvalidValue;
    int32_t* stored;
    const TParameterInfo* info;
    int32_t* live = globalSlot(number, bank, r, &stored, &info);
    if (!live || !(info->access & W))
        return ReplyStatus::WrongType;
    if (!InRange(*info, value))
        return ReplyStatus::InvalidValue;
    *live = value;
    m_planChanged = bank == GlobalBank::Timers;
    if (m_planChanged)
        timerSet(number);
    return ReplyStatus::Ok;
}

uint8_t Peripherals::getGlobalParameter(int number, int bank, int32_t& value, TRegisters& r)
{
    if (bank >= GlobalBankCount)
        return ReplyStatus::InvalidValue;
    int32_t* stored;
    const TParameterInfo* info;
    const int32_t* live = globalSlot(number, bank, r, &stored, &info);
    if (!live || !(info->access & R))
        return ReplyStatus::WrongType;
    value = *live;
    return ReplyStatus::Ok;
}

uint8_t Peripherals::storeGlobalParameter(int number, int bank, bool restore, TRegisters& r)
{
    if (bank >= GlobalBankCount)
        return ReplyStatus::InvalidValue;
    int32_t* stored;
    const TParameterInfo* info;
    int32_t* live = globalSlot(number, bank, r, &stored, &info);
    if (!live || !(info->access & E) || !stored)
        return ReplyStatus::WrongType;
    if (restore)
        *live = *stored;
    else
        *stored = *live;
    m_planChanged = bank == GlobalBank::Timers;
    if (m_planChanged && restore)
        timerSet(number);
    return ReplyStatus::Ok;
}

uint8_t Peripherals::referenceSearch(int mode, int axis, int32_t& value)
{
    if (mode > RfsStatus)
        return ReplyStatus::WrongType;
    if (axis >= AxisCount)
        return ReplyStatus::InvalidValue;
    VirtualAxis& a = m_axes[axis];
    switch (mode) {
    case RfsStart:
        a.startReferenceSearch();
        m_planChanged = true;
        break;
    case RfsStop:
        a.stopReferenceSearch();
        break;
    default:
        value = a.referenceSearchActive() ? 1 : 0;
        break;
    }
    return ReplyStatus::Ok;
}

uint8_t Peripherals::setIo(int port, int bank, int32_t value)
{
    if (bank >= IoBankCount)
        return ReplyStatus::InvalidValue;
    if (bank == IoBank::DigitalInputs && port == PullUpPort) {
        if (value < 0 || value > PullUpMax)
            return ReplyStatus::InvalidValue;
        m_pullUps = value;
        return ReplyStatus::Ok;
    }
    if (bank != IoBank::Outputs || port >= OutputCount)
        return ReplyStatus::WrongType;
    if (value < 0 || value > 1)
        return ReplyStatus::InvalidValue;
    m_output[port] = value;
    return ReplyStatus::Ok;
}

uint8_t Peripherals::getIo(int port, int bank, int32_t& value) const
{
    switch (bank) {
    case IoBank::DigitalInputs:
        if (port >= DigitalInputCount)
            return ReplyStatus::WrongType;
        value = m_input[port] ? 1 : 0;
        return ReplyStatus::Ok;
    case IoBank::AnalogInputs:
        if (port >= AnalogInputCount)
            return ReplyStatus::WrongType;
        value = m_analog[port];
        return ReplyStatus::Ok;
    case IoBank::Outputs:
        if (port >= OutputCount)
            return ReplyStatus::WrongType;
        value = m_output[port];
        return ReplyStatus::Ok;
    default:
        return ReplyStatus::InvalidValue;
    }
}

// SCO, GCO, CCO and ACO. With motor 255, SCO stores coordinate n of every axis in its EEPROM
// copy and GCO brings it back from there; CCO takes an axis mask (bit 7 set).
uint8_t Peripherals::coordinateOp(const TDecodedWord& w, int axis, TRegisters& r, int32_t& value)
{
    const int n = w.Type;
    if (n >= CoordinateCount)
        return ReplyStatus::WrongType;
    const bool eeprom = axis == CoordinateEepromMotor
        && (w.Opcode == Opcode::SCO || w.Opcode == Opcode::GCO);
    if (eeprom) {
        for (int a = 0; a < AxisCount; ++a) {
            if (w.Opcode == Opcode::SCO)
                m_eepromCoord[a][n] = m_coord[a][n];
            else
                m_coord[a][n] = m_eepromCoord[a][n];
        }
        value = 0;
        return ReplyStatus::Ok;
    }
    if (w.Opcode == Opcode::CCO && (axis & AxisMaskMarkerCco)) {
        const int mask = axis & AxisMaskBits;
        if (mask == 0 || mask >= (1 << AxisCount))
            return ReplyStatus::InvalidValue;
        for (int a = 0; a < AxisCount; ++a) {
            if (mask & (1 << a))
                m_coord[a][n] = m_axes[a].actualPosition();
        }
        value = 0;
        return ReplyStatus::Ok;
    }
    if (axis >= AxisCount)
        return ReplyStatus::InvalidValue;
    int32_t& c = m_coord[axis][n];
    switch (w.Opcode) {
    case Opcode::SCO: c = w.Value; break;
    case Opcode::GCO: value = c; break;
    case Opcode::CCO: c = m_axes[axis].actualPosition(); value = c; break;
    default: c = r.A; value = c; break;   // ACO
    }
    return ReplyStatus::Ok;
}
