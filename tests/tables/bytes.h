#pragma once

#include <QByteArray>
#include <initializer_list>

// Hand-built record bytes: texts, runs of one byte and little-endian integers, in order.
struct Bytes {
    QByteArray b;
    Bytes& text(const char* latin1)
    {
        b.append(latin1);
        return *this;
    }
    Bytes& raw(QByteArray bytes)
    {
        b.append(bytes);
        return *this;
    }
    Bytes& fill(int count, char c = '\0')
    {
        b.append(count, c);
        return *this;
    }
    Bytes& u8(int v)
    {
        b.append(char(v));
        return *this;
    }
    Bytes& u16(int v)
    {
        b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
        return *this;
    }
    Bytes& u32(qint64 v)
    {
        for (int i = 0; i < 4; ++i)
            b.append(char((quint64(v) >> (8 * i)) & 0xFF));
        return *this;
    }
    operator QByteArray() const { return b; }
};
