#pragma once

#include <QByteArray>

#include <initializer_list>

// Frames written out by hand in the tests; the check byte is computed here, in the test,
// as the exclusive-or of bytes 1 .. L-3, not with the emulator's own helper.
inline QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

inline QByteArray handFrame(int address, int sequence, int command, const QByteArray& data)
{
    const int length = 9 + int(data.size());
    QByteArray f;
    f.append(char(0x02));
    f.append(char(address));
    f.append(char(length & 0xFF));
    f.append(char(length >> 8));
    f.append(char(sequence & 0xFF));
    f.append(char(sequence >> 8));
    f.append(char(command));
    f.append(data);
    int x = 0;
    for (int i = 1; i < f.size(); ++i)
        x ^= uint8_t(f[i]);
    f.append(char(x));
    f.append(char(0x03));
    return f;
}

inline QByteArray handAck(int address, int code)
{
    return handFrame(address, 1, 0x06, QByteArray(1, char(code)));
}
