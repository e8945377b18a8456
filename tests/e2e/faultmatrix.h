#pragma once

// The fault matrix: every transfer run of the program against the register emulator on a
// pseudo-terminal, through the real link, with one fault injected per case. A case checks
// what the user is told, that the run ends within bounds (the run's pauses on the fake clock,
// the whole case on a real-time clock), and that the working database holds exactly what the
// run is meant to write.

#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "emulator/emulatorhost.h"
#include "fakeui.h"
#include "link/link.h"
#include "link/portmap.h"
#include "link/serialline.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <ostream>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '{';
    for (const QString& s : l)
        *os << " \"" << s.toStdString() << '"';
    *os << " }";
}

namespace fm {

// The real POSIX line, with the total read time-out cut to at most 250 ms + 1 ms a byte.
// The link sets its time-outs as the register needs them (1000 ms + 10 ms a byte after a
// send); the emulator answers within a few milliseconds, so the shorter wait changes nothing
// but the real time a silent or truncated answer costs. The link sees the time-outs it set.
class QuickLine : public SerialLine {
public:
    QuickLine() : m_line(makePosixSerialLine()) {}
    OpenError open(const QString& path) override { return m_line->open(path); }
    void close() override { m_line->close(); }
    bool isOpen() const override { return m_line->isOpen(); }
    bool configure(const LineSettings& settings) override { return m_line->configure(settings); }
    void setTimeouts(const LineTimeouts& t) override
    {
        m_asked = t;
        LineTimeouts cut = t;
        cut.readConstant = qMin<quint32>(t.readConstant, 250);
        cut.readMultiplier = qMin<quint32>(t.readMultiplier, 1);
        m_line->setTimeouts(cut);
    }
    LineTimeouts timeouts() const override { return m_asked; }
    WriteResult write(QByteArrayView bytes) override { return m_line->write(bytes); }
    qint64 read(char* into, qint64 count) override { return m_line->read(into, count); }
    int status() override { return m_line->status(); }
    int waitReadable(int ms) override { return m_line->waitReadable(qMin(ms, 250)); }

private:
    std::unique_ptr<SerialLine> m_line;
    LineTimeouts m_asked;
};

enum class Fault {
    Busy,        // status 0x08, the answer after busyMs
    PaperYes,    // status 0x02, the user goes on, the answer after paperBackMs
    PaperNo,     // status 0x02, the user stops
    BadCheck,    // the answer's check byte flipped
    Silent,      // no answer
    Truncate,    // the first half of the answer only
    Noise,       // four stray bytes before the answer
    DeviceError, // an error frame with device error 97 instead of the answer
    Vanish,      // the device disappears instead of answering
};
inline constexpr Fault kAllFaults[] = {Fault::Busy,     Fault::PaperYes,    Fault::PaperNo,
                                       Fault::BadCheck, Fault::Silent,      Fault::Truncate,
                                       Fault::Noise,    Fault::DeviceError, Fault::Vanish};
inline constexpr int kDeviceErrorCode = 97;

inline const char* faultName(Fault f)
{
    switch (f) {
    case Fault::Busy:
        return "busy";
    case Fault::PaperYes:
        return "paper out, Yes";
    case Fault::PaperNo:
        return "paper out, No";
    case Fault::BadCheck:
        return "bad check byte";
    case Fault::Silent:
        return "silence";
    case Fault::Truncate:
        return "truncated frame";
    case Fault::Noise:
        return "noise";
    case Fault::DeviceError:
        return "device error";
    case Fault::Vanish:
        return "device vanishes";
    }
    return "?";
}

// The device error message as the register's list words it, for code 97.
inline QString deviceErrorMessage97()
{
    return QStringLiteral("Błąd 97: Wymagany tryb serwisowy");
}
inline const QString kPaperQuestion = QStringLiteral("Brak papieru! Kontynuować?");
inline const QString kUserStopped = QStringLiteral("Komunikacja przerwana przez użytkownika.");
inline const QString kNoCommunication = QStringLiteral("Brak komunikacji.");
inline const QString kCrcError = QStringLiteral("Błąd CRC!");

// Check byte worked out in the test: exclusive-or of bytes 1 .. L-3 of a frame built by hand.
inline quint8 handCheck(quint8 address, quint16 sequence, quint8 command, const QByteArray& data)
{
    const int length = 9 + int(data.size());
    quint8 x = address ^ quint8(length & 0xFF) ^ quint8(length >> 8) ^ quint8(sequence & 0xFF) ^
               quint8(sequence >> 8) ^ command;
    for (char c : data)
        x ^= quint8(c);
    return x;
}
// The two messages of a data frame whose check byte the register flipped.
inline QStringList crcMessages(quint8 computed)
{
    return {QStringLiteral("CRC kasy: %1 CRC PC: %2").arg(quint8(~computed)).arg(computed),
            kCrcError};
}

// A frame written out by hand: head, data, check byte, end byte.
inline QByteArray handFrame(quint8 address, quint16 sequence, quint8 command,
                            const QByteArray& data)
{
    const int length = 9 + int(data.size());
    QByteArray f;
    f.append(char(0x02))
        .append(char(address))
        .append(char(length & 0xFF))
        .append(char(length >> 8));
    f.append(char(sequence & 0xFF)).append(char(sequence >> 8)).append(char(command)).append(data);
    f.append(char(handCheck(address, sequence, command, data))).append(char(0x03));
    return f;
}
// The messages of a data frame read with four stray bytes before it: the read takes the
// stray bytes and all but the last four bytes of the frame; its "check byte" and the check
// byte worked out over it are then bytes of the frame.
inline QStringList noisyCrcMessages(const QByteArray& frame)
{
    const QByteArray stream = QByteArray("\x55\xAA\x13\x7F", 4) + frame;
    const int n = int(frame.size());
    quint8 x = 0;
    for (int i = 1; i <= n - 3; ++i)
        x ^= quint8(stream[i]);
    return {QStringLiteral("CRC kasy: %1 CRC PC: %2").arg(quint8(stream[n - 2])).arg(x), kCrcError};
}

// The emulator, the real link on its pseudo-terminal and a working database.
struct Rig {
    explicit Rig(emu::Model model = emu::Model::DunoBis)
        : reg(model, 1), host(reg), link([] { return std::make_unique<QuickLine>(); }),
          session(dir.filePath(DatabaseSession::WorkingCopyName))
    {
        dbOk = dir.isValid() && session.startUp().ok;
        started = host.start();
        portmap::setPortOverride(kPort, host.devicePath());
        link.port = kPort;
        link.address = 1;
        link.trace = [this](char direction, QByteArrayView bytes) {
            if (direction == '>')
                sent.append(bytes.toByteArray());
        };
        opened = started && link.openPort(ui, true) == 0;
    }
    ~Rig()
    {
        // Whatever fault the register shows, the program keeps numbering its runs in sequence.
        EXPECT_EQ(numberingErrors(), 0) << "the register refused a frame's number";
        link.closePort();
        portmap::clearPortOverrides();
    }
    bool ok() const { return dbOk && opened; }
    RegisterDatabase& db() { return session.database(); }
    QByteArray dbBytes() { return session.database().contents(); }

    void inject(Fault f, int frame)
    {
        emu::FaultPlan plan;
        plan.busyMs = 60;
        plan.paperBackMs = 60;
        switch (f) {
        case Fault::Busy:
            plan.busy = {frame};
            break;
        case Fault::PaperYes:
            plan.paperOut = {frame};
            ui.answers = {TransferUi::Answer::Yes};
            break;
        case Fault::PaperNo:
            plan.paperOut = {frame};
            ui.answers = {TransferUi::Answer::No};
            break;
        case Fault::BadCheck:
            plan.corrupt = {frame};
            break;
        case Fault::Silent:
            plan.silent = {frame};
            break;
        case Fault::Truncate:
            plan.truncate = {frame};
            break;
        case Fault::Noise:
            plan.noise = {frame};
            break;
        case Fault::DeviceError:
            plan.deviceError = {{frame, kDeviceErrorCode}};
            break;
        case Fault::Vanish:
            plan.vanish = {frame};
            break;
        }
        auto hold = host.lock();
        reg.setFaults(plan);
    }
    void setImage(emu::RegisterModel::Table t, int n, const QByteArray& image)
    {
        auto hold = host.lock();
        reg.setImage(t, n, image);
    }
    int numberingErrors()
    {
        auto hold = host.lock();
        return reg.numberingErrors();
    }
    bool runOpen()
    {
        auto hold = host.lock();
        return reg.runOpen();
    }

    // "Nie mogę otworzyć portu COM<n> (<device>)." when the vanished device cannot be opened.
    QString cannotOpen() const
    {
        return QStringLiteral("Nie mogę otworzyć portu ") + portmap::displayName(kPort) +
               QLatin1Char('.');
    }

    static constexpr int kPort = 47;
    emu::RegisterModel reg;
    emu::EmulatorHost host;
    Link link;
    FakeUi ui;
    QTemporaryDir dir;
    DatabaseSession session;
    QList<QByteArray> sent;
    int result = -1; // a run's own result, for its check
    bool dbOk = false;
    bool started = false;
    bool opened = false;
};

// Bounds of one case: the run's pauses on the fake clock, the whole case in real time.
inline constexpr qint64 kFakeClockLimitMs = 60'000;
inline constexpr qint64 kRealTimeLimitMs = 10'000;

// What one case expects.
struct Expect {
    QStringList messages;  // shown to the user, in order
    QStringList questions; // asked, in order
};

// The database bytes outside [from, from + count) are the same in both.
inline void expectSameOutside(const QByteArray& before, const QByteArray& after, qint64 from,
                              qint64 count)
{
    ASSERT_EQ(before.size(), after.size());
    EXPECT_TRUE(before.left(from) == after.left(from)) << "database changed before the table";
    EXPECT_TRUE(before.mid(from + count) == after.mid(from + count))
        << "database changed after the table";
}

// A run of the matrix: prepares the register and the database, runs as its form does and
// returns the messages the form shows from the run's result (besides what the run itself
// showed on the rig's user interface); then checks what the run left behind.
struct Case {
    const char* name;
    std::function<void(Rig&)> prepare;
    std::function<QStringList(Rig&)> run;
    // Which frame the register receives the fault on (1 = the first frame the run sends).
    std::function<int(Fault)> faultFrame;
    // Expected messages and questions for a fault.
    std::function<Expect(Fault, Rig&)> expect;
    // The database and the run's own results after the run; the default: nothing changed.
    std::function<void(Fault, Rig&, const QByteArray& before)> check;
};

// Runs every fault of `run` on a fresh rig.
inline void runMatrix(const Case& run, emu::Model model = emu::Model::DunoBis)
{
    for (Fault f : kAllFaults) {
        SCOPED_TRACE(std::string(run.name) + " / " + faultName(f));
        QElapsedTimer real;
        real.start();
        Rig rig(model);
        ASSERT_TRUE(rig.ok());
        if (run.prepare)
            run.prepare(rig);
        rig.inject(f, run.faultFrame(f));
        const QByteArray before = rig.dbBytes();
        const qint64 clockBefore = rig.ui.clock;
        const QStringList shown = run.run(rig);
        QStringList messages = rig.ui.messages;
        messages += shown;
        const Expect want = run.expect(f, rig);
        EXPECT_EQ(messages, want.messages);
        EXPECT_EQ(rig.ui.questions, want.questions);
        EXPECT_LT(rig.ui.clock - clockBefore, kFakeClockLimitMs);
        if (run.check)
            run.check(f, rig, before);
        else
            EXPECT_TRUE(rig.dbBytes() == before) << "the database changed";
        EXPECT_LT(real.elapsed(), kRealTimeLimitMs);
    }
}

// The expectation of a run that waits for one answer and shows nothing of its own beyond
// `own`: the paper-out question is asked, and a stop after it is reported first.
inline Expect withPaper(Fault f, const QStringList& own = {})
{
    if (f == Fault::PaperYes)
        return {own, {kPaperQuestion}};
    if (f == Fault::PaperNo)
        return {QStringList{kUserStopped} + own, {kPaperQuestion}};
    return {own, {}};
}
// A run that sends and reads no answer: whatever the register does, nobody is told anything.
inline Expect nothingRead(Fault, Rig&)
{
    return {};
}

// Frame 1 for the faults a register can only give to a command (busy, paper out), else `n`.
inline std::function<int(Fault)> commandThen(int n)
{
    return [n](Fault f) {
        return f == Fault::Busy || f == Fault::PaperYes || f == Fault::PaperNo ? 1 : n;
    };
}
inline std::function<int(Fault)> frame(int n)
{
    return [n](Fault) { return n; };
}

} // namespace fm
