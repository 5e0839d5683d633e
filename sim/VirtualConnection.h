#pragma once

#include "KROLConnectionInterface.h"
#include "VirtualModule.h"

// A host-layer connection backed by a virtual module. Each request received lets a fixed
// quantum of module time pass first, so that a debugger polling for the end of a run sees the
// program progress without any timer.
class VirtualConnection : public KROLConnectionInterface
{
    Q_OBJECT

public:
    static constexpr int DefaultQuantumMs = 1;

    explicit VirtualConnection(QObject* parent = nullptr);

    VirtualModule& module() { return m_module; }
    const VirtualModule& module() const { return m_module; }

    // Module time per request; 0 leaves the clock to whoever calls module().advance().
    void setQuantumMs(int ms) { m_quantumMs = ms < 0 ? 0 : ms; }
    int quantumMs() const { return m_quantumMs; }

    void openInterface(int mode) override;
    void processRequest(Command* request, Command* reply) override;

    int openMode() const { return m_openMode; }

private:
    VirtualModule m_module;
    int m_quantumMs = DefaultQuantumMs;
    int m_openMode = Normal;
};
