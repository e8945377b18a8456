// The main window's quick search on a computer with four on-board ports that open with
// nothing behind them (COM1..COM4) and the register behind a USB adapter (COM33), the
// other port numbers without a device. The search must find the register within 1.5 s.
//
// The on-board ports are pseudo-terminals whose other side nobody answers; the adapter is
// the register emulator's pseudo-terminal under a ttyUSB0 name.
#include "common/transferui.h"
#include "emulator/emulatorhost.h"
#include "emulator/registermodel.h"
#include "link/link.h"
#include "link/portmap.h"
#include "link/portscan.h"

#include "limit.h"

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRegisterPort = 33;
constexpr double kLimitMs = 1500;

// A pseudo-terminal nobody answers on: its master is held open and never read.
struct SilentPort {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    QString path;
    SilentPort()
    {
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            path = QString::fromLocal8Bit(ptsname(master));
    }
    ~SilentPort()
    {
        if (master >= 0)
            ::close(master);
    }
};

void QuickSearchUsbBehindSilentOnBoardPorts(benchmark::State& state)
{
    QTemporaryDir dir;
    emu::RegisterModel reg(emu::Model::DunoBis, 1);
    emu::EmulatorHost host(reg);
    if (!host.start()) {
        state.SkipWithError("no emulator");
        return;
    }
    std::vector<std::unique_ptr<SilentPort>> onBoard;
    for (int n = 1; n <= 99; ++n)
        portmap::setPortOverride(n, dir.filePath(QStringLiteral("none%1").arg(n)));
    for (int n = 1; n <= 4; ++n) {
        onBoard.push_back(std::make_unique<SilentPort>());
        portmap::setPortOverride(n, onBoard.back()->path);
    }
    const QString adapter = dir.filePath(QStringLiteral("ttyUSB0"));
    QFile::link(host.devicePath(), adapter);
    portmap::setPortOverride(kRegisterPort, adapter);

    Link link;
    SilentUi ui;
    timeAgainstLimit(state, kLimitMs, [&] {
        if (portscan::quickSearch(link, ui) != kRegisterPort)
            state.SkipWithError("the register was not found");
        link.closePort();
        return -1.0;
    });
    portmap::clearPortOverrides();
}
BENCHMARK(QuickSearchUsbBehindSilentOnBoardPorts)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The same with the adapter's device not named as a USB one: every on-board port is tried
// first, each given up once its line stays silent after the probe.
void QuickSearchAfterFourSilentPorts(benchmark::State& state)
{
    QTemporaryDir dir;
    emu::RegisterModel reg(emu::Model::DunoBis, 1);
    emu::EmulatorHost host(reg);
    if (!host.start()) {
        state.SkipWithError("no emulator");
        return;
    }
    std::vector<std::unique_ptr<SilentPort>> onBoard;
    for (int n = 1; n <= 99; ++n)
        portmap::setPortOverride(n, dir.filePath(QStringLiteral("none%1").arg(n)));
    for (int n = 1; n <= 4; ++n) {
        onBoard.push_back(std::make_unique<SilentPort>());
        portmap::setPortOverride(n, onBoard.back()->path);
    }
    portmap::setPortOverride(5, host.devicePath());
    Link link;
    SilentUi ui;
    timeAgainstLimit(state, kLimitMs, [&] {
        if (portscan::quickSearch(link, ui) != 5)
            state.SkipWithError("the register was not found");
        link.closePort();
        return -1.0;
    });
    portmap::clearPortOverrides();
}
BENCHMARK(QuickSearchAfterFourSilentPorts)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

VDUNO_BENCHMARK_MAIN()
