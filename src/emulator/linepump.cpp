#include "linepump.h"

#include <algorithm>

namespace emu {

namespace {
// A partly received frame is dropped after this much silence on the line.
constexpr auto kInputGap = std::chrono::milliseconds(300);
} // namespace

LinePump::LinePump(RegisterBus& bus, std::mutex& modelMutex, LineTiming timing)
    : m_bus(bus), m_mutex(modelMutex),
      m_byteTime(timing.baud > 0 ? std::chrono::nanoseconds(10'000'000'000LL / timing.baud)
                                 : std::chrono::nanoseconds(0)),
      m_lastArrival(Clock::now()), m_lastInput(Clock::now()), m_nextByte(Clock::now())
{
}

void LinePump::arrive(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    m_lastArrival = std::max(m_lastArrival, Clock::now()) + m_byteTime * bytes.size();
    m_arriving.push_back(Pending{m_lastArrival, bytes.toByteArray(), false});
}

bool LinePump::advance()
{
    const auto now = Clock::now();
    while (!m_arriving.empty() && m_arriving.front().due <= now) {
        const QByteArray input = m_arriving.front().bytes;
        m_arriving.pop_front();
        m_lastInput = now;
        std::lock_guard<std::mutex> g(m_mutex);
        for (const Reply& r : m_bus.feed(input)) {
            if (r.dropPending) {
                m_queue.clear();
                continue;
            }
            const Clock::time_point base = m_queue.empty() ? now : m_queue.back().due;
            m_queue.push_back(
                Pending{base + std::chrono::milliseconds(r.delayMs), r.bytes, r.vanish});
        }
    }
    if (m_arriving.empty() && now - m_lastInput > kInputGap) {
        std::lock_guard<std::mutex> g(m_mutex);
        m_bus.resetInput();
    }
    if (m_sending.isEmpty() && !m_queue.empty() && m_queue.front().due <= now) {
        Pending piece = m_queue.front();
        m_queue.pop_front();
        if (piece.vanish)
            return true;
        m_sending = piece.bytes;
        m_nextByte = now;
    }
    return false;
}

void LinePump::send(const Writer& write)
{
    while (!m_sending.isEmpty() && m_nextByte <= Clock::now()) {
        qsizetype count = m_sending.size();
        if (m_byteTime.count() > 0) {
            const auto due = (Clock::now() - m_nextByte) / m_byteTime + 1;
            count = std::min<qsizetype>(count, qsizetype(due));
        }
        const qint64 w = write(m_sending.constData(), count);
        if (w <= 0)
            break;
        m_sending.remove(0, w);
        m_nextByte += m_byteTime * w;
    }
}

LinePump::Clock::time_point LinePump::wakeAt() const
{
    auto wake = Clock::now() + std::chrono::milliseconds(2);
    if (!m_sending.isEmpty())
        wake = std::min(wake, m_nextByte);
    else if (!m_queue.empty())
        wake = std::min(wake, m_queue.front().due);
    if (!m_arriving.empty())
        wake = std::min(wake, m_arriving.front().due);
    return wake;
}

void LinePump::clear()
{
    m_queue.clear();
    m_arriving.clear();
    m_sending.clear();
    {
        std::lock_guard<std::mutex> g(m_mutex);
        m_bus.resetInput();
    }
    m_lastInput = Clock::now();
}

} // namespace emu
