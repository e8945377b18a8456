#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <cstdint>

// The register's side of the line format. A frame is
//   0x02, address, length L (u16 LE), sequence (u16 LE), command, data (L - 9 bytes),
//   check byte, 0x03
// and the check byte is the exclusive-or of bytes 1 .. L-3.
namespace emu {

constexpr char kStart = 0x02;
constexpr char kEnd = 0x03;
constexpr int kMinFrame = 9;
// The longest frame the computer sends is the receipt header, 268 bytes.
constexpr int kMaxRequestFrame = 268;
constexpr uint16_t kEndMarker = 0x8000;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kStatus = 0x41; // "A": status and error frames

uint8_t checkByte(QByteArrayView frame);
QByteArray makeFrame(uint8_t address, uint16_t sequence, uint8_t command, QByteArrayView data);
QByteArray ackFrame(uint8_t address, uint8_t code);         // 10 bytes, sequence 1
QByteArray statusFrame(uint8_t address, uint8_t status);    // 10 bytes
QByteArray errorFrame(uint8_t address, uint8_t deviceCode); // 11 bytes, code in byte 8

inline uint16_t u16At(QByteArrayView b, int at)
{
    return uint16_t(uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8));
}
inline uint32_t u32At(QByteArrayView b, int at)
{
    return uint32_t(u16At(b, at)) | (uint32_t(u16At(b, at + 2)) << 16);
}
void putU16(QByteArray& b, int at, uint16_t v);
void putU32(QByteArray& b, int at, uint32_t v);

// Cuts a byte stream into frames: waits for 0x02, takes the length from bytes 2-3 and
// hands the frame out once it is complete and ends with 0x03. Bytes that cannot begin a
// frame (noise, a length out of range, a wrong end byte) are skipped one at a time, so a
// real frame behind them is still found. The check byte is left to the receiver, which
// answers a bad one with device error 1.
class FrameAssembler {
public:
    void feed(QByteArrayView bytes);
    // Next complete frame, or an empty array.
    QByteArray next();
    int pendingBytes() const { return int(m_buffer.size()); }
    void clear() { m_buffer.clear(); }

private:
    QByteArray m_buffer;
};

} // namespace emu
