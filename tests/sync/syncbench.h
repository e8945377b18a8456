#pragma once

#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "fakeui.h"

#include "common/cp1250.h"

#include <QTemporaryDir>

#include <ostream>

#include <gtest/gtest.h>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

// A working database in a private directory, started as the program starts one.
struct TestDatabase {
    TestDatabase() : session(dir.filePath(DatabaseSession::WorkingCopyName))
    {
        ok = dir.isValid() && session.startUp().ok;
    }
    RegisterDatabase& db() { return session.database(); }
    QTemporaryDir dir;
    DatabaseSession session;
    bool ok = false;
};

// Little-endian helpers for the test's own bytes.
inline void put16(QByteArray& b, int at, quint32 v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}
inline void put32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}
inline void putBytes(QByteArray& b, int at, const QByteArray& bytes)
{
    b.replace(at, bytes.size(), bytes);
}
// A text given in UTF-8, stored in cp1250 as the register and the file hold it.
inline void putText(QByteArray& b, int at, const char* utf8)
{
    putBytes(b, at, cp1250::encode(QString::fromUtf8(utf8)));
}

#ifdef SYNC_BENCH_EMULATOR
#include "emulator/emulatorhost.h"
#include "link/link.h"
#include "link/portmap.h"

// A register emulator on a pseudo-terminal, reached through the real link under COM 42.
struct Bench : TestDatabase {
    explicit Bench(emu::Model model = emu::Model::DunoBis) : reg(model, 1), host(reg)
    {
        started = host.start();
        portmap::setPortOverride(42, host.devicePath());
        link.port = 42;
        link.address = 1;
        opened = started && link.openPort(ui, true) == 0;
        link.trace = [this](char direction, QByteArrayView bytes) {
            if (direction == '>')
                sent.append(bytes.toByteArray());
        };
    }
    ~Bench()
    {
        // The program numbers the frames of every run as the register requires.
        EXPECT_EQ(numberingErrors(), 0) << "the register refused a frame's number";
        link.closePort();
        portmap::clearPortOverrides();
    }
    void setImage(emu::RegisterModel::Table t, int n, const QByteArray& image)
    {
        auto hold = host.lock();
        reg.setImage(t, n, image);
    }
    QByteArray image(emu::RegisterModel::Table t, int n)
    {
        auto hold = host.lock();
        return reg.image(t, n);
    }
    int framesReceived()
    {
        auto hold = host.lock();
        return reg.framesReceived();
    }
    void setFaults(const emu::FaultPlan& plan)
    {
        auto hold = host.lock();
        reg.setFaults(plan);
    }
    int numberingErrors()
    {
        auto hold = host.lock();
        return reg.numberingErrors();
    }
    bool runOpen()
    {
        auto hold = host.lock();
        return reg.runOpen();
    }
    // Frames sent with this command byte, in order.
    QList<QByteArray> sentWith(char command) const
    {
        QList<QByteArray> out;
        for (const QByteArray& f : sent)
            if (f.size() > 6 && f[6] == command)
                out.append(f);
        return out;
    }
    emu::RegisterModel reg;
    emu::EmulatorHost host;
    Link link;
    FakeUi ui;
    QList<QByteArray> sent;
    bool started = false;
    bool opened = false;
};
#endif
