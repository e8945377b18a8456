#pragma once

// The rig of the transfer benchmarks: a database of numbered articles and the program's link
// to an emulated register with line timing, counting every byte on the wire both ways.

#include "common/transferui.h"
#include "database/databasesession.h"
#include "emulator/emulatorhost.h"
#include "emulator/tcphost.h"
#include "link/link.h"
#include "link/portmap.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

#include <QTemporaryDir>

#include <utility>

// Where the link finds the register: the pseudo-terminal, or the TCP host's address.
inline QString hostPath(emu::EmulatorHost& host)
{
    return host.devicePath();
}
inline QString hostPath(emu::TcpHost& host)
{
    return host.address();
}

// A SilentUi that takes the check before programming as accepted.
class GoOnUi : public SilentUi {
public:
    Answer ask(const QString&, Buttons, Icon, const QString&) override { return Answer::Yes; }
};

// `Host` is the emulator's pseudo-terminal host or its TCP host; `hostArgs` follow its
// register and line timing.
template <class Host, class Ui = SilentUi> struct ArticleRig {
    QTemporaryDir dir;
    DatabaseSession session{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    emu::RegisterModel reg;
    Host host;
    Link link;
    Ui ui;
    int baud;
    qint64 wireBytes = 0;
    bool ready = false;

    template <class... HostArgs>
    ArticleRig(int port, int lineBaud, bool fast, int articles, HostArgs&&... hostArgs)
        : host(reg, emu::LineTiming{lineBaud}, std::forward<HostArgs>(hostArgs)...), baud(lineBaud)
    {
        reg.setRecordDelayMs(0);
        session.createWorkingDatabase();
        for (int n = 1; n <= articles; ++n) {
            ArticleRecord r;
            r.number = n;
            r.name = QStringLiteral("Towar numer %1 żółty").arg(n);
            r.price = 100 + n;
            r.barcode = QString::number(5900000000000LL + n);
            storeRecord(session.database(), layout::Articles, n, r);
        }
        if (!host.start())
            return;
        portmap::setPortOverride(port, hostPath(host));
        link.port = port;
        link.line.baud = quint32(baud);
        link.fastTransfers = fast;
        link.trace = [this](char, QByteArrayView bytes) { wireBytes += bytes.size(); };
        ready = link.openPort(ui, false) == 0;
    }
    ~ArticleRig()
    {
        link.closePort();
        portmap::clearPortOverrides();
    }
    RegisterDatabase& db() { return session.database(); }
    // The time the bytes on the wire take at the line rate, 10 bits a byte.
    double lineLimitMs() const { return double(wireBytes) * 10 * 1000 / baud; }
};
