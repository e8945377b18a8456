#include "frame.h"

namespace emu {

uint8_t checkByte(QByteArrayView frame)
{
    const int length = u16At(frame, 2);
    uint8_t x = 0;
    for (int i = 1; i <= length - 3 && i < frame.size(); ++i)
        x ^= uint8_t(frame[i]);
    return x;
}

void putU16(QByteArray& b, int at, uint16_t v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

void putU32(QByteArray& b, int at, uint32_t v)
{
    putU16(b, at, uint16_t(v & 0xFFFF));
    putU16(b, at + 2, uint16_t(v >> 16));
}

QByteArray makeFrame(uint8_t address, uint16_t sequence, uint8_t command, QByteArrayView data)
{
    const int length = kMinFrame + int(data.size());
    QByteArray f(length, '\0');
    f[0] = kStart;
    f[1] = char(address);
    putU16(f, 2, uint16_t(length));
    putU16(f, 4, sequence);
    f[6] = char(command);
    for (int i = 0; i < data.size(); ++i)
        f[7 + i] = data[i];
    f[length - 2] = char(checkByte(f));
    f[length - 1] = kEnd;
    return f;
}

QByteArray ackFrame(uint8_t address, uint8_t code)
{
    const char d[1] = {char(code)};
    return makeFrame(address, 1, kAck, QByteArrayView(d, 1));
}

QByteArray statusFrame(uint8_t address, uint8_t status)
{
    const char d[1] = {char(status)};
    return makeFrame(address, 1, kStatus, QByteArrayView(d, 1));
}

QByteArray errorFrame(uint8_t address, uint8_t deviceCode)
{
    const char d[2] = {0, char(deviceCode)};
    return makeFrame(address, 1, kStatus, QByteArrayView(d, 2));
}

void FrameAssembler::feed(QByteArrayView bytes)
{
    m_buffer.append(bytes);
}

QByteArray FrameAssembler::next()
{
    for (;;) {
        const qsizetype start = m_buffer.indexOf(kStart);
        if (start < 0) {
            m_buffer.clear();
            return {};
        }
        if (start > 0)
            m_buffer.remove(0, start);
        if (m_buffer.size() < 4)
            return {};
        const int length = u16At(m_buffer, 2);
        if (length < kMinFrame || length > kMaxRequestFrame) {
            m_buffer.remove(0, 1);
            continue;
        }
        if (m_buffer.size() < length)
            return {};
        if (m_buffer[length - 1] != kEnd) {
            m_buffer.remove(0, 1);
            continue;
        }
        QByteArray frame = m_buffer.left(length);
        m_buffer.remove(0, length);
        return frame;
    }
}

} // namespace emu
