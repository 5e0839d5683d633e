// The serial link against `krol sim --pty`, run by hand:  bench_serial [BAUD]
// Times 2,000 single requests (median and 90th percentile of a round trip, against the 18 bytes
// of 10 bits a request and its reply need on the line) and the download of a 2,000-word program
// through ProgramTransfer (against 2,003 round trips on the line). Target: within 1.2 times.
#include "Command.h"
#include "ModuleCommands.h"
#include "ProgramTransfer.h"
#include "SerialConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int baud = argc > 1 ? std::atoi(argv[1]) : 115200;
    QProcess server;
    server.start(QCoreApplication::applicationDirPath() + "/krol",
                 {"sim", "--pty", "--baud", QString::number(baud)});
    if (!server.waitForReadyRead(10000)) {
        std::fprintf(stderr, "krol sim --pty did not start\n");
        return 1;
    }
    TSerialSettings settings;
    settings.Port = QString::fromLocal8Bit(server.readLine()).trimmed();
    settings.TimeoutMs = 2000;
    SerialConnection link(settings);
    QString error;
    if (!link.open(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const double lineMs = baud > 0 ? 18 * 10 * 1000.0 / baud : 0;

    std::vector<double> trips;
    QElapsedTimer clock;
    for (int i = 0; i < 2000; ++i) {
        Command reply;
        clock.start();
        link.doDirectRequest(new Command(1, ModuleCommand::GetStatus, 1, 0, 0, false, 12), &reply);
        trips.push_back(clock.nsecsElapsed() / 1e6);
        if (!reply.isValid()) {
            std::fprintf(stderr, "%s\n", qPrintable(link.lastError()));
            return 1;
        }
    }
    std::sort(trips.begin(), trips.end());
    std::printf("round trip at %d baud: median %.3f ms, 90%% %.3f ms; line %.3f ms\n", baud,
                trips[trips.size() / 2], trips[trips.size() * 9 / 10], lineMs);

    QList<TInstruction> program;
    for (int i = 0; i < 1999; ++i) {
        TInstruction word;
        word.Opcode = Opcode::SAP;
        word.Type = 4;
        word.Value = i;
        program.append(word);
    }
    program.append(TInstruction{});
    program.last().Opcode = Opcode::STOP;
    ProgramTransfer transfer(&link);
    transfer.SetInstructionList(&program);
    clock.start();
    const bool ok = transfer.Download(1);
    const double seconds = clock.nsecsElapsed() / 1e9;
    const double limit = 2003 * lineMs / 1000;
    std::printf("download of %d words: %.3f s%s; line %.3f s; ratio %.3f (target 1.2)\n", int(program.size()),
                seconds, ok ? "" : " (FAILED)", limit, limit > 0 ? seconds / limit : 0.0);
    server.terminate();
    server.waitForFinished();
    return ok ? 0 : 1;
}
