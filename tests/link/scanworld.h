#pragma once

#include "link/link.h"
#include "link/portmap.h"
#include "link/serialline.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <memory>

// Ports 1..99 of a pretend computer for the searches: each port number is mapped to the path
// "scan:N"; a port opens when it is listed in `open`, and a register answers on it at the
// addresses listed in `registers`. A register answers the probe with a 10-byte status frame
// and the information request with its 124-byte (model code 200) or 115-byte (100) frame.
struct ScanWorld {
    QSet<int> open;
    QMap<int, QSet<int>> registers; // port -> addresses
    QMap<int, int> modelCode;       // port -> 100 or 200 (default 200)
    QList<QByteArray> written;      // every frame written, in order
    QList<int> opened;              // every port number opened, in order
    QList<LineSettings> configured; // the settings of every open
    int closes = 0;

    ScanWorld()
    {
        for (int n = 1; n <= 99; ++n)
            portmap::setPortOverride(n, QStringLiteral("scan:%1").arg(n));
    }
    ~ScanWorld() { portmap::clearPortOverrides(); }

    Link::LineFactory factory();
};

// XOR of bytes 1 .. L-3 and the end byte: the check byte as a register puts it.
inline void sealByHand(QByteArray& f)
{
    quint8 x = 0;
    for (int i = 1; i <= f.size() - 3; ++i)
        x ^= quint8(f[i]);
    f[f.size() - 2] = char(x);
    f[f.size() - 1] = 0x03;
}

class ScanLine : public SerialLine {
public:
    explicit ScanLine(ScanWorld& w) : m_w(w) {}
    OpenError open(const QString& path) override
    {
        if (!path.startsWith(QLatin1String("scan:")))
            return OpenError::Failed;
        const int n = path.mid(5).toInt();
        if (!m_w.open.contains(n))
            return OpenError::Failed;
        m_port = n;
        m_w.opened << n;
        return OpenError::None;
    }
    void close() override
    {
        if (m_port != 0)
            ++m_w.closes;
        m_port = 0;
        m_pending.clear();
    }
    bool isOpen() const override { return m_port != 0; }
    bool configure(const LineSettings& s) override
    {
        m_w.configured << s;
        return true;
    }
    void setTimeouts(const LineTimeouts& t) override { m_t = t; }
    LineTimeouts timeouts() const override { return m_t; }
    WriteResult write(QByteArrayView bytes) override
    {
        const QByteArray f = bytes.toByteArray();
        m_w.written << f;
        const int address = f.size() > 6 ? quint8(f[1]) : 0;
        const bool answers = m_w.registers.value(m_port).contains(address);
        if (answers && f.size() >= 7 && f[6] == 'Q') {
            QByteArray a(10, '\0');
            a[0] = 0x02;
            a[1] = char(address);
            a[2] = 10;
            a[4] = 1;
            a[6] = 'A';
            sealByHand(a);
            m_pending += a;
        } else if (answers && f.size() >= 7 && f[6] == 'I') {
            const int code = m_w.modelCode.value(m_port, 200);
            const int length = code == 100 ? 115 : 124;
            QByteArray a(length, '\0');
            a[0] = 0x02;
            a[1] = char(address);
            a[2] = char(length);
            a[4] = 1;
            a[5] = char(0x80);
            a[6] = 'I';
            a[7] = char(code);
            sealByHand(a);
            m_pending += a;
        }
        return WriteResult{true, false, bytes.size(), 0};
    }
    qint64 read(char* into, qint64 count) override
    {
        const qint64 n = qMin<qint64>(count, m_pending.size());
        memcpy(into, m_pending.constData(), size_t(n));
        m_pending.remove(0, n);
        return n;
    }
    int status() override { return 0; }

private:
    ScanWorld& m_w;
    int m_port = 0;
    QByteArray m_pending;
    LineTimeouts m_t;
};

inline Link::LineFactory ScanWorld::factory()
{
    return [this] { return std::unique_ptr<SerialLine>(new ScanLine(*this)); };
}
