// Instructions per second of wall time of the virtual module on a tight loop of CALC, COMP, JC
// and DJNZ. Usage: bench_sim [module-seconds] (default 100).

#include "ModuleCommands.h"
#include "VirtualModule.h"

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>

namespace {

void send(VirtualModule& m, uint8_t command, uint16_t type = 0, uint8_t motor = 0, int32_t value = 0)
{
    TModuleRequest r;
    r.Command = command;
    r.Type = type;
    r.MotorBank = motor;
    r.Value = value;
    m.request(r);
}

} // namespace

int main(int argc, char** argv)
{
    const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: bench_sim [module-seconds]\n");
        return 2;
    }
    const auto load = [](VirtualModule& m) {
        send(m, ModuleCommand::DownloadStart);
        send(m, Opcode::CALC, 0, 0, 1);      // 0: CALC ADD, 1
        send(m, Opcode::COMP, 0, 0, 0);      // 1: COMP 0
        send(m, Opcode::JC, 6, 0, 0);        // 2: JC LT, 0
        send(m, Opcode::DJNZ, 0, 0, 0);      // 3: DJNZ 0, 0 (variable 0 counts down from 0)
        send(m, 0);
        send(m, ModuleCommand::DownloadEnd);
        send(m, ModuleCommand::ApplRun);
    };

    // Once in steps of one module second, as `krol sim` advances it, and once in steps of one
    // millisecond, the finest an application timer would use.
    bool running = true;
    for (int stepMs : {1000, 1}) {
        VirtualModule m;
        load(m);
        const uint64_t before = m.executedInstructions();
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        for (long ms = 0; ms < seconds * 1000; ms += stepMs)
            m.advance(stepMs);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const double n = double(m.executedInstructions() - before);
        // CPU time as well: on a busy machine wall time also counts other processes.
        std::printf("advance(%d): %.0f instructions (%ld s of module time) in %.3f s of wall time: "
                    "%.1f million instructions per second (%.1f million per CPU second)\n",
                    stepMs, n, seconds, wall, n / wall / 1e6, cpu > 0 ? n / cpu / 1e6 : 0.0);
        running = running && m.state() == VirtualModule::Running;
    }
    return running ? 0 : 1;
}
