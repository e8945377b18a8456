#pragma once

#include <QByteArray>

// Answer frames built by hand for the tests: 0x02, address, length, sequence, command, data,
// the exclusive-or of bytes 1 .. L-3, 0x03.
inline QByteArray answerFrame(quint16 sequence, quint8 command, const QByteArray& data,
                              quint8 address = 1)
{
    const int length = int(data.size()) + 9;
    QByteArray f;
    f.append(char(0x02));
    f.append(char(address));
    f.append(char(length & 0xFF));
    f.append(char(length >> 8));
    f.append(char(sequence & 0xFF));
    f.append(char(sequence >> 8));
    f.append(char(command));
    f.append(data);
    quint8 x = 0;
    for (int i = 1; i < f.size(); ++i)
        x ^= quint8(f[i]);
    f.append(char(x));
    f.append(char(0x03));
    return f;
}

// The computer's acknowledgement with the given code, to address 1.
inline QByteArray ackFrame(quint8 code)
{
    return answerFrame(1, 0x06, QByteArray(1, char(code)));
}

inline void putLe(QByteArray& b, int at, quint32 v, int width)
{
    for (int i = 0; i < width; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}
