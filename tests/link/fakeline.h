#pragma once

#include "link/link.h"
#include "link/serialline.h"

#include <QByteArray>
#include <QList>
#include <memory>

// A scripted serial line: reads hand out the queued answers (one chunk per read, cut to
// the requested count), writes accept what the script allows.
struct FakeLineScript {
    QList<QByteArray> reads;          // one entry per read() call; empty = time-out
    QList<qint64> writeLimits;        // bytes accepted per write() call (-1 = all)
    QList<bool> writeVanish;          // this write call fails as an unplugged device
    QList<qint64> writePending;       // of the accepted bytes, those held back (line held)
    QList<int> statuses;              // status() answers (0 once exhausted)
    QByteArray written;               // everything written
    QList<LineTimeouts> timeoutsSet;  // every setTimeouts()
    QList<LineTimeouts> readTimeouts; // the time-outs in force at every read()
    int waitReadable = -1;            // what waitReadable() answers (-1: the line cannot tell)
    bool openFails = false;
    bool configureFails = false;
    int opens = 0, writes = 0, readsDone = 0, discards = 0;
};

class FakeLine : public SerialLine {
public:
    explicit FakeLine(FakeLineScript& s) : m_s(s) {}
    OpenError open(const QString&) override
    {
        ++m_s.opens;
        if (m_s.openFails)
            return OpenError::Failed;
        m_open = true;
        return OpenError::None;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool configure(const LineSettings&) override { return !m_s.configureFails; }
    void setTimeouts(const LineTimeouts& t) override
    {
        m_t = t;
        m_s.timeoutsSet << t;
    }
    LineTimeouts timeouts() const override { return m_t; }
    WriteResult write(QByteArrayView bytes) override
    {
        const int i = m_s.writes++;
        WriteResult r;
        qint64 limit = i < m_s.writeLimits.size() ? m_s.writeLimits[i] : -1;
        if (i < m_s.writeVanish.size() && m_s.writeVanish[i]) {
            // Unplugged in the middle: the part within the limit went out before.
            if (limit > 0)
                m_s.written += bytes.first(qMin<qint64>(limit, bytes.size())).toByteArray();
            r.vanished = true;
            return r;
        }
        r.written = limit < 0 ? bytes.size() : qMin<qint64>(limit, bytes.size());
        m_s.written += bytes.first(r.written).toByteArray();
        r.pending = i < m_s.writePending.size() ? m_s.writePending[i] : 0;
        r.ok = true;
        return r;
    }
    void discardOutput() override { ++m_s.discards; }
    qint64 read(char* into, qint64 count) override
    {
        ++m_s.readsDone;
        m_s.readTimeouts << m_t;
        if (m_s.reads.isEmpty())
            return 0;
        const QByteArray chunk = m_s.reads.takeFirst().left(count);
        memcpy(into, chunk.constData(), size_t(chunk.size()));
        return chunk.size();
    }
    int status() override { return m_s.statuses.isEmpty() ? 0 : m_s.statuses.takeFirst(); }
    int waitReadable(int) override { return m_s.waitReadable; }

private:
    FakeLineScript& m_s;
    bool m_open = false;
    LineTimeouts m_t;
};

inline Link::LineFactory fakeFactory(FakeLineScript& s)
{
    return [&s] { return std::unique_ptr<SerialLine>(new FakeLine(s)); };
}

// Bytes from a list of values.
inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}
