#include "frame.h"

namespace frame {

QByteArray head(quint8 address, int length, quint16 sequence, quint8 command)
{
    QByteArray f(qMax(length, 9), '\0');
    f[0] = Start;
    f[1] = char(address);
    putU16(f, 2, quint16(f.size()));
    putU16(f, 4, sequence);
    f[6] = char(command);
    f[f.size() - 1] = End;
    return f;
}

quint8 checkByte(QByteArrayView f)
{
    qsizetype length = f.size() >= 4 ? u16(f, 2) : f.size();
    if (length < 9 || length > f.size())
        length = f.size();
    quint8 x = 0;
    for (qsizetype i = 1; i <= length - 3; ++i)
        x ^= quint8(f[i]);
    return x;
}

void seal(QByteArray& f)
{
    f[f.size() - 2] = char(checkByte(f));
}

QByteArray acknowledgement(quint8 address, quint8 code)
{
    QByteArray f = head(address, 10, 1, AckCommand);
    f[7] = char(code);
    seal(f);
    return f;
}

quint16 u16(QByteArrayView b, int offset)
{
    return quint16(quint8(b[offset]) | (quint8(b[offset + 1]) << 8));
}

void putU16(QByteArray& b, int offset, quint16 v)
{
    b[offset] = char(v & 0xFF);
    b[offset + 1] = char(v >> 8);
}

void putU32(QByteArray& b, int offset, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[offset + i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace frame
