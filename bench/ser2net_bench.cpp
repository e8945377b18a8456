// Reading the demo register's 300 articles through Debian's ser2net in front of the
// emulator's pseudo-terminal at 115200 baud, raw and RFC 2217, with ser2net's default
// accepter (Nagle's algorithm on) and with tcp(nodelay). The register's conversation is frame
// by frame and ser2net passes each answer on in pieces as they come off the serial line; with
// Nagle's algorithm every piece after the first waits for our acknowledgement, so our side must
// acknowledge at once. The limit of the default accepter's read is 1.3 times the read through
// tcp(nodelay) (measured first); the nodelay read is timed against the serial line's own time
// for the bytes it carried.
//
// Arguments: RFC 2217 (0 raw TCP, 1 telnet with the COM-PORT option), nodelay (0 ser2net's
// default, 1 tcp(nodelay)).
#include "common/transferui.h"
#include "database/databasesession.h"
#include "emulator/emulatorhost.h"
#include "emulator/registermodel.h"
#include "link/link.h"
#include "loopbackport.h"
#include "tables/articleread.h"

#include "limit.h"
#include "ser2net.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kBis = 2;
constexpr int kBaud = 115200;
constexpr double kDefaultOverNodelay = 1.3;

// The read through tcp(nodelay), by kind of port, for the default accepter's limit.
std::map<bool, double>& nodelayMs()
{
    static std::map<bool, double> ms;
    return ms;
}

void ReadArticlesThroughSer2net(benchmark::State& state)
{
    const bool rfc2217 = state.range(0) != 0;
    const bool nodelay = state.range(1) != 0;
    if (Ser2net::program().isEmpty()) {
        state.SkipWithError("ser2net is not installed (apt-get install ser2net): skipped");
        return;
    }
    if (!nodelay && !nodelayMs().count(rfc2217)) {
        state.SkipWithError("the tcp(nodelay) read did not run first");
        return;
    }
    emu::RegisterModel reg(emu::Model::DunoBis);
    reg.fillDemo();
    emu::EmulatorHost pty(reg, emu::LineTiming{kBaud});
    const quint16 port = unusedLoopbackPort();
    Ser2net server;
    if (!pty.start() ||
        !server.start(
            "connection: &kasa\n  accepter: " + QByteArray(rfc2217 ? "telnet(rfc2217)," : "") +
                (nodelay ? "tcp(nodelay)" : "tcp") + ",127.0.0.1," + QByteArray::number(port) +
                "\n  connector: serialdev," + pty.devicePath().toLocal8Bit() + ",115200n81,local\n",
            {port})) {
        state.SkipWithError("ser2net did not start");
        return;
    }
    QTemporaryDir dir;
    DatabaseSession session(dir.filePath(QStringLiteral("BDTemp.bdt")));
    session.createWorkingDatabase();
    SilentUi ui;
    Link link;
    link.device =
        (rfc2217 ? QStringLiteral("rfc2217://127.0.0.1:") : QStringLiteral("tcp://127.0.0.1:")) +
        QString::number(port);
    link.port = 99;
    link.line.baud = kBaud;
    qint64 wireBytes = 0;
    link.trace = [&](char direction, QByteArrayView bytes) {
        if (direction != '#')
            wireBytes += bytes.size();
    };
    if (link.openPort(ui, false) != 0) {
        state.SkipWithError("the port did not open");
        return;
    }
    double lastMs = 0;
    timeAgainstLimit(state, 0, [&] {
        wireBytes = 0;
        const auto start = std::chrono::steady_clock::now();
        const articleread::Result read =
            articleread::readArticles(link, ui, session.database(), kBis);
        lastMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count();
        if (!read.complete() || read.framesStored != 300)
            state.SkipWithError("not every article was read");
        return nodelay ? double(wireBytes) * 10 * 1000 / kBaud
                       : kDefaultOverNodelay * nodelayMs()[rfc2217];
    });
    if (nodelay)
        nodelayMs()[rfc2217] = lastMs;
    link.closePort();
}
BENCHMARK(ReadArticlesThroughSer2net)
    ->ArgNames({"rfc2217", "nodelay"})
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

VDUNO_BENCHMARK_MAIN()
