#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

// Frame: 0x02, address, length L (u16), sequence (u16), command, data, check byte, 0x03.
// L counts every byte from the start byte to the end byte; the shortest frame is 9 bytes.
namespace frame {

constexpr char Start = 0x02;
constexpr char End = 0x03;
constexpr quint16 EndMarker = 0x8000;
constexpr quint16 Single = 0x8001; // a transfer of one frame
constexpr quint8 AckCommand = 0x06;
constexpr quint8 StatusCommand = 0x41; // "A": status and error frames

// A frame of `length` bytes: head written, data 0, end byte at L-1 (check byte still 0).
QByteArray head(quint8 address, int length, quint16 sequence, quint8 command);
// XOR of bytes 1 .. L-3, L read from bytes 2-3 (the whole view when L is out of range).
quint8 checkByte(QByteArrayView frame);
// Stores the check byte at L-2.
void seal(QByteArray& frame);
// The ten-byte acknowledgement the computer sends: sequence 1, command 0x06, one code byte.
QByteArray acknowledgement(quint8 address, quint8 code);

quint16 u16(QByteArrayView bytes, int offset);
void putU16(QByteArray& bytes, int offset, quint16 value);
void putU32(QByteArray& bytes, int offset, quint32 value);

} // namespace frame
