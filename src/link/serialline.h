#pragma once

#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

// Line settings of the link, in the register's own codes.
struct LineSettings {
    quint32 baud = 115200;
    quint8 dataBits = 8; // 5..8
    quint8 parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    quint8 stopBits = 0; // 0 one, 1 one and a half, 2 two
    bool xonXoff = false;
    bool rtsCts = false;
    bool operator==(const LineSettings&) const = default;
};

// Total time-outs of one read or write, in milliseconds: a read of n bytes gives up after
// readConstant + n * readMultiplier, a write of n bytes after writeConstant + n * writeMultiplier.
struct LineTimeouts {
    quint32 readInterval = 0;
    quint32 readMultiplier = 1;
    quint32 readConstant = 100;
    quint32 writeMultiplier = 10;
    quint32 writeConstant = 100;
    bool operator==(const LineTimeouts&) const = default;
};

// One serial device. Reads and writes block for at most their total time-out.
class SerialLine {
public:
    // Busy: another program holds the device (see holder()).
    enum class OpenError { None, Failed, PermissionDenied, Busy };
    struct WriteResult {
        bool ok = false;       // the call itself succeeded (possibly writing less)
        bool vanished = false; // the device is gone (unplugged adapter, closed pty)
        qint64 written = 0;    // bytes handed to the driver
        // Of those, the bytes still waiting in the driver when the time-out ran out (the
        // output is held): they leave by themselves once the line is released.
        qint64 pending = 0;
    };

    virtual ~SerialLine() = default;
    virtual OpenError open(const QString& path) = 0;
    // After an open refused with Busy: who holds the device, "vduno (PID 1234)"; empty when
    // that is not known.
    virtual QString holder() const { return {}; }
    // Why the line did not open, or stopped working, when there is more to say than that it
    // did: a sentence for the user ("Certyfikat serwera wygasł 2021-01-01."). Empty when
    // none; kept until the next open.
    virtual QString problem() const { return {}; }
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool configure(const LineSettings& settings) = 0;
    virtual void setTimeouts(const LineTimeouts& timeouts) = 0;
    virtual LineTimeouts timeouts() const = 0;
    // Returns once the bytes have left the computer, or when the write time-out runs out.
    // A write of no bytes waits for what is still pending.
    virtual WriteResult write(QByteArrayView bytes) = 0;
    // Throws away output that has not left yet (a send that gives up on a held line).
    virtual void discardOutput() {}
    // Reads up to `count` bytes into `into`; returns how many arrived before the time-out.
    virtual qint64 read(char* into, qint64 count) = 0;
    // 0 line clear, 1 error (or the query failed), 2 output held; clears the error flags.
    // Errors are the framing, parity, overrun and break conditions the driver counted since
    // the last check.
    virtual int status() = 0;
    // Blocks until input is waiting or `ms` have passed: 1 input waiting, 0 the time passed,
    // -1 the line cannot tell (the caller then waits the whole time itself).
    virtual int waitReadable(int ms)
    {
        (void)ms;
        return -1;
    }
};

// The POSIX line over termios; poll() with a deadline gives exact total time-outs.
// Works with on-board ports, USB adapters and pseudo-terminals. EIO, ENXIO and ENODEV on a
// write mean the device vanished. A write waits until the driver's output queue is empty
// (TIOCOUTQ), so a line held by CTS or XOFF shows as a write that did not finish. Line
// errors come from the driver's counters (TIOCGICOUNT); a device without them (a
// pseudo-terminal) reports none.
// One program a device: the open takes an advisory lock (flock, per open file description,
// so that two opens in one process exclude each other too), the UUCP lock file, and then
// the kernel's exclusive mode (TIOCEXCL), which stops programs that look at neither lock but
// does not stop root. A device held by another program is refused with Busy.
class PosixSerialLine : public SerialLine {
public:
    ~PosixSerialLine() override;
    OpenError open(const QString& path) override;
    QString holder() const override { return m_holder; }
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    bool configure(const LineSettings& settings) override;
    void setTimeouts(const LineTimeouts& timeouts) override { m_timeouts = timeouts; }
    LineTimeouts timeouts() const override { return m_timeouts; }
    WriteResult write(QByteArrayView bytes) override;
    qint64 read(char* into, qint64 count) override;
    int status() override;
    int waitReadable(int ms) override;
    void discardOutput() override;

private:
    qint64 outputQueued() const;
    bool lineErrorsSinceLastCheck();
    OpenError busy(const QString& path);

    int m_fd = -1;
    QString m_lockFile; // the UUCP lock file taken with the device; empty when none
    QString m_holder;
    bool m_rtsCts = false;
    LineTimeouts m_timeouts;
    // The driver's error counters at the last check (framing, parity, overrun, buffer
    // overrun, break); empty where the driver has none.
    std::array<int, 5> m_errorCounts{};
    bool m_countersKnown = false;
};

std::unique_ptr<SerialLine> makePosixSerialLine();

// Sets any baud rate on a termios-capable descriptor (posixbaud.cpp).
bool setLineBaud(int fd, quint32 baud);
