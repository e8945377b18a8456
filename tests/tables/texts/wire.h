#pragma once

#include <QByteArray>

#include <initializer_list>

// Frames written out byte by byte for the expectations: start, address, length, sequence,
// command, data, the exclusive-or of bytes 1..L-3, end.
inline QByteArray wireFrame(int address, int sequence, int command, const QByteArray& data)
{
    const int length = 9 + int(data.size());
    QByteArray f;
    f += char(0x02);
    f += char(address);
    f += char(length & 0xFF);
    f += char(length >> 8);
    f += char(sequence & 0xFF);
    f += char(sequence >> 8);
    f += char(command);
    f += data;
    char x = 0;
    for (int i = 1; i < f.size(); ++i)
        x = char(x ^ f[i]);
    f += x;
    f += char(0x03);
    return f;
}

inline QByteArray wireBytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b += char(v);
    return b;
}

// The register's acknowledgement with a code, and its one-byte status frame.
inline QByteArray registerAck(int code, int address = 1)
{
    return wireFrame(address, 1, 0x06, wireBytes({code}));
}
inline QByteArray registerStatus(int status, int address = 1)
{
    return wireFrame(address, 1, 'A', wireBytes({status}));
}
