#pragma once

#include "emulator/emulatorhost.h"
#include "fakeui.h"
#include "link/link.h"
#include "link/portmap.h"

#include <QByteArray>
#include <QList>

#include <gtest/gtest.h>

// A register emulator on a pseudo-terminal, reached through the real link under COM 43, with
// every frame the computer sends kept in `sent`.
struct RegisterBench {
    explicit RegisterBench(emu::Model model = emu::Model::DunoBis) : reg(model, 1), host(reg)
    {
        started = host.start();
        portmap::setPortOverride(43, host.devicePath());
        link.port = 43;
        link.address = 1;
        link.trace = [this](char direction, QByteArrayView bytes) {
            if (direction == '>')
                sent.append(bytes.toByteArray());
        };
        opened = started && link.openPort(ui, true) == 0;
    }
    ~RegisterBench()
    {
        // The program numbers the frames of every run as the register requires.
        EXPECT_EQ(numberingErrors(), 0) << "the register refused a frame's number";
        link.closePort();
        portmap::clearPortOverrides();
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
    emu::RegisterModel reg;
    emu::EmulatorHost host;
    Link link;
    FakeUi ui;
    QList<QByteArray> sent;
    bool started = false;
    bool opened = false;
};

// The check byte worked out here, not by the link: exclusive-or of bytes 1 .. L-3.
inline QByteArray framed(QByteArray frame)
{
    frame.append('\0').append('\x03');
    quint8 x = 0;
    for (qsizetype i = 1; i < frame.size() - 2; ++i)
        x ^= quint8(frame[i]);
    frame[frame.size() - 2] = char(x);
    return frame;
}
