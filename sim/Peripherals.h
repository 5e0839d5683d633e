#pragma once

#include "SimParameters.h"
#include "TDecodedWord.h"
#include "TRegisters.h"
#include "VirtualAxis.h"

#include <cstdint>

// Everything outside the program's registers: the axes, the global parameters, I/O ports,
// coordinates and the interrupt set-up, and the instructions that reach them.
class Peripherals
{
public:
    Peripherals();

    // Axes at rest at 0; parameters, user variables and coordinates take their stored values.
    void powerOn(TRegisters& r);
    void stopMotors();
    bool anyMoving() const;
    // Lets module time run to ms (whole milliseconds): the axes handle their events up to it,
    // and reads and commands act at ms from then on.
    void advanceTo(int64_t ms);
    int64_t nowMs() const { return m_nowMs; }
    // The next millisecond at which an axis has an event, -1 when none will.
    int64_t nextEventMs() const;
    // Grows with every change of course of any axis.
    uint64_t motionChanges() const;

    // Executes an OpSlow word and returns the reply status. value is the reply value; a program
    // word (direct false) also loads A with what it reads.
    uint8_t execute(const TDecodedWord& w, TRegisters& r, int32_t& value, bool direct);

    // True once after a motion started or the interrupt set-up changed: time must be planned anew.
    bool takePlanChange();

    const VirtualAxis& axis(int i) const { return m_axes[i]; }
    uint8_t takeAxisEvents(int i) { return m_axes[i].takeEvents(); }
    int32_t timerPeriod(int i) const { return m_timer[i]; }
    // The millisecond timer i's period was last set (or restored, or brought back at power-on),
    // and a count of such settings, so the clock sees a setting even when the value is the same.
    int64_t timerSetMs(int i) const { return m_timerSetMs[i]; }
    uint32_t timerSettings(int i) const { return m_timerSettings[i]; }
    bool autoStart() const { return m_autoStart != 0; }
    int32_t coordinate(int index, int axis) const { return m_coord[axis][index]; }

    void setDigitalInput(int port, bool on);
    bool digitalInput(int port) const { return m_input[port]; }
    void setAnalogInput(int port, int value);
    int32_t output(int port) const;

private:
    uint8_t setAxisParameter(int number, int axis, int32_t value);
    uint8_t getAxisParameter(int number, int axis, int32_t& value) const;
    uint8_t storeAxisParameter(int number, int axis, bool restore);
    int32_t* globalSlot(int number, int bank, TRegisters& r, int32_t** stored, const Sim::TParameterInfo** info);
    uint8_t setGlobalParameter(int number, int bank, int32_t value, TRegisters& r);
    uint8_t getGlobalParameter(int number, int bank, int32_t& value, TRegisters& r);
    uint8_t storeGlobalParameter(int number, int bank, bool restore, TRegisters& r);
    uint8_t move(int mode, int motor, int32_t value);
    uint8_t rotate(int axis, int64_t velocity);
    uint8_t referenceSearch(int mode, int axis, int32_t& value);
    uint8_t setIo(int port, int bank, int32_t value);
    uint8_t getIo(int port, int bank, int32_t& value) const;
    uint8_t coordinateOp(const TDecodedWord& w, int axis, TRegisters& r, int32_t& value);
    void timerSet(int i);

    VirtualAxis m_axes[Sim::AxisCount];
    int32_t m_autoStart = 0;
    int32_t m_timer[Sim::TimerCount] = {};
    int32_t m_storedTimer[Sim::TimerCount] = {};
    int64_t m_timerSetMs[Sim::TimerCount] = {};
    uint32_t m_timerSettings[Sim::TimerCount] = {};
    int64_t m_nowMs = 0;
    int32_t m_storedVars[Sim::UserVariableCount] = {};
    int32_t m_coord[Sim::AxisCount][Sim::CoordinateCount] = {};
    int32_t m_eepromCoord[Sim::AxisCount][Sim::CoordinateCount] = {};
    bool m_input[Sim::DigitalInputCount] = {};
    int32_t m_analog[Sim::AnalogInputCount] = {};
    int32_t m_output[Sim::OutputCount] = {};
    int32_t m_pullUps = 0;
    bool m_planChanged = false;
};
