#pragma once

#include "registerbus.h"

#include <QByteArray>
#include <QByteArrayView>

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>

namespace emu {

// Line timing: when baud > 0, bytes cross the line at the baud rate (10 bits a byte) both
// ways: answers leave at that pace and frames reach the register at it.
struct LineTiming {
    int baud = 0;
};

// The register's end of a line, whatever carries it (a pseudo-terminal, a TCP connection):
// bytes from the program reach the registers at the line's pace, and their answers leave
// after their delays, again at the line's pace. The host reads and writes; the pump decides
// what is due when.
class LinePump {
public:
    using Clock = std::chrono::steady_clock;
    // Takes up to `count` bytes for the line; returns how many it took (0 or less: none).
    using Writer = std::function<qint64(const char* bytes, qint64 count)>;

    LinePump(RegisterBus& bus, std::mutex& modelMutex, LineTiming timing);

    // Bytes that came from the program now.
    void arrive(QByteArrayView bytes);
    // Hands the registers what has crossed the line by now and starts the next answer that is
    // due. True when that answer is the device disappearing (the host drops the line).
    bool advance();
    // Writes the bytes of the current answer that are due by now.
    void send(const Writer& write);
    // When the host should look again at the latest (it also wakes on input).
    Clock::time_point wakeAt() const;
    // An empty line: nothing arriving or waiting to go out, a partial frame forgotten.
    void clear();

private:
    struct Pending {
        Clock::time_point due;
        QByteArray bytes;
        bool vanish = false;
    };

    RegisterBus& m_bus;
    std::mutex& m_mutex;
    Clock::duration m_byteTime;
    std::deque<Pending> m_queue;    // answers waiting for their time
    std::deque<Pending> m_arriving; // input held until its last byte has crossed the line
    Clock::time_point m_lastArrival;
    Clock::time_point m_lastInput;
    QByteArray m_sending; // bytes of the current answer not yet written
    Clock::time_point m_nextByte;
};

} // namespace emu
