#include "link.h"

#include "networkline.h"
#include "portmap.h"

#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

// A network line cut off for breaking the rules of a serial device server.
QString cutOffText(const QString& name, const QString& problem)
{
    return QStringLiteral("Przerwano połączenie z portem ") + name + QStringLiteral(".\n") +
           problem;
}

QString heldText(const QString& name, const QString& holder)
{
    const QString text =
        QStringLiteral("Port ") + name + QStringLiteral(" jest zajęty przez inny program");
    if (holder.isEmpty())
        return text + u'.';
    return text + QStringLiteral(": ") + holder +
           QStringLiteral(". Zamknij go i spróbuj ponownie.");
}

} // namespace

Link::Link(LineFactory factory) : m_factory(std::move(factory))
{
}

Link& Link::instance()
{
    static Link link;
    return link;
}

int Link::openPort(TransferUi& ui, bool verbose)
{
    closePort();
    m_openError = SerialLine::OpenError::None;
    m_holder.clear();
    m_problem.clear();
    m_openFailure.clear();
    const int number = port;
    const QString name = device.isEmpty() ? portmap::displayName(number) : device;
    if (!portChosen()) {
        m_openError = SerialLine::OpenError::Failed;
        if (verbose)
            ui.showMessage(QStringLiteral("Nie wybrano portu komunikacyjnego."),
                           TransferUi::Icon::Error);
        port = NoPort;
        return 1;
    }
    const QString path = device.isEmpty() ? portmap::devicePath(number) : device;
    // A serial device server's address is reached over TCP; a device path by the factory.
    if (portmap::isNetworkAddress(path))
        m_line = std::make_unique<NetworkSerialLine>(tls);
    else
        m_line = m_factory();
    const SerialLine::OpenError error = m_line->open(path);
    if (error != SerialLine::OpenError::None) {
        m_openError = error;
        // Only a local device can be held here. A device server keeps its own one client: a
        // second is refused or dropped, which shows as a port that does not open.
        if (error == SerialLine::OpenError::Busy)
            m_holder = m_line->holder();
        m_problem = m_line->problem();
        m_openFailure = error == SerialLine::OpenError::Busy
                            ? heldText(name, m_holder)
                            : QStringLiteral("Nie mogę otworzyć portu ") + name + u'.';
        if (error == SerialLine::OpenError::PermissionDenied)
            m_openFailure += QLatin1Char('\n') + portmap::permissionHint(path);
        if (!m_problem.isEmpty())
            m_openFailure += QLatin1Char('\n') + m_problem;
        if (verbose)
            ui.showMessage(m_openFailure, TransferUi::Icon::Error);
        m_line.reset();
        port = NoPort;
        return 1;
    }
    // Open: 100 ms + 1 ms a byte for reads, 100 ms + 10 ms a byte for writes.
    m_line->setTimeouts(LineTimeouts{0, 1, 100, 10, 100});
    if (!m_line->configure(line)) {
        m_openError = SerialLine::OpenError::Failed;
        m_problem = m_line->problem();
        m_openFailure = QStringLiteral("Nie mogę otworzyć portu ") + name +
                        QStringLiteral(" z takimi ustawieniami.");
        if (!m_problem.isEmpty())
            m_openFailure += QLatin1Char('\n') + m_problem;
        if (verbose)
            ui.showMessage(m_openFailure, TransferUi::Icon::Error);
        port = NoPort;
        closePort();
        return 1;
    }
    m_line->status(); // clears pending line errors
    ++m_opens;
    return 0;
}

void Link::closePort()
{
    m_creditMs = 0;
    if (m_line)
        m_line->close();
    m_line.reset();
}

int Link::lineStatus()
{
    return isOpen() ? m_line->status() : 1;
}

int Link::sendBytes(TransferUi& ui, QByteArrayView bytes)
{
    if (!portChosen()) {
        ui.showMessage(QStringLiteral("Nie wybrano portu komunikacyjnego."),
                       TransferUi::Icon::Error);
        return 1;
    }
    if (!isOpen() && openPort(ui, true) != 0)
        return 1;
    if (trace)
        trace('>', bytes);
    qsizetype offset = 0;
    int waits = 0;
    bool reopened = false;
    for (;;) {
        const quint32 remaining = quint32(bytes.size() - offset);
        m_line->setTimeouts(LineTimeouts{0, 10, 1000, 20, remaining * 800 / line.baud + 10});
        // With all bytes handed over, this write only waits for those still held back.
        const SerialLine::WriteResult r = m_line->write(bytes.sliced(offset));
        if (r.vanished) {
            // A server cut off for what it sent would do it again: no second connection.
            if (const QString problem = m_line->problem(); !problem.isEmpty()) {
                m_problem = problem;
                ui.showMessage(
                    cutOffText(device.isEmpty() ? portmap::displayName(port) : device, problem),
                    TransferUi::Icon::Error);
                closePort();
                port = NoPort;
                return 1;
            }
            // An unplugged adapter: reopen the same port number once for this send and send
            // the frame again whole; the register drops the part it got before. A device
            // plugged in again takes a moment to be there under its name.
            closePort();
            if (reopened) {
                ui.showMessage(QStringLiteral("Wystąpił błąd transmisji."),
                               TransferUi::Icon::Error);
                port = NoPort;
                return 1;
            }
            reopened = true;
            const int number = port;
            constexpr int Attempts = ReopenWaitMs / 50;
            for (int attempt = 1; openPort(ui, attempt == Attempts) != 0; ++attempt) {
                if (attempt == Attempts || ui.stopRequested())
                    return 1;
                // A server that refused us for a reason (its certificate) would again.
                if (!m_problem.isEmpty()) {
                    ui.showMessage(m_openFailure, TransferUi::Icon::Error);
                    return 1;
                }
                port = number;
                ui.waitMs(50);
            }
            offset = 0;
            continue;
        }
        offset += r.written;
        if (r.ok && offset >= bytes.size() && r.pending == 0)
            return 0;
        if (m_line->status() == 1) {
            ui.showMessage(QStringLiteral("Wystąpił błąd transmisji."), TransferUi::Icon::Error);
            closePort();
            port = NoPort;
            return 1;
        }
        if (line.xonXoff || line.rtsCts) {
            // "Kasa niegotowa.": the bytes still held leave once the line is released.
            if (!ui.waitForLine([this] { return lineStatus() == 0; })) {
                if (isOpen())
                    m_line->discardOutput();
                return 1;
            }
        } else {
            ui.waitMs(1);
            if (++waits > 1000) {
                m_line->discardOutput();
                return 1;
            }
        }
    }
}

int Link::drainInput(TransferUi& ui)
{
    if (!isOpen())
        return 0;
    const LineTimeouts before = m_line->timeouts();
    m_line->setTimeouts(LineTimeouts{0, 0, 1, 0, 1});
    qint64 last = 0;
    int reads = 0;
    do {
        last = m_line->read(m_rx.data(), 50);
        ++reads;
    } while (last > 0 && reads < 8192);
    m_line->setTimeouts(LineTimeouts{before.readInterval, 1, 100, 10, 10});
    if (const QString problem = m_line->problem(); !problem.isEmpty()) {
        m_problem = problem;
        ui.showMessage(cutOffText(device.isEmpty() ? portmap::displayName(port) : device, problem),
                       TransferUi::Icon::Error);
        closePort();
        port = NoPort;
        return 1;
    }
    if (last > 0) {
        ui.showMessage(QStringLiteral("Wystąpił błąd komunikacji"), TransferUi::Icon::Error);
        return 1;
    }
    return 0;
}

int Link::read(int count)
{
    return readAt(0, count);
}

int Link::readAt(int offset, int count)
{
    offset = std::clamp(offset, 0, ReceiveSize);
    count = std::clamp(count, 0, ReceiveSize - offset);
    if (!isOpen() || count == 0)
        return 0;
    // Time owed from skipped pauses lengthens this one read only.
    const int credit = std::exchange(m_creditMs, 0);
    const LineTimeouts own = m_line->timeouts();
    if (credit > 0) {
        LineTimeouts longer = own;
        longer.readConstant += quint32(credit);
        m_line->setTimeouts(longer);
    }
    const int n = idle ? readInSlices(m_rx.data() + offset, count)
                       : int(m_line->read(m_rx.data() + offset, count));
    m_bytesRead += n;
    if (credit > 0 || idle)
        m_line->setTimeouts(own);
    if (trace)
        trace('<', QByteArrayView(m_rx.data() + offset, n));
    return n;
}

int Link::readInSlices(char* into, int count)
{
    using Clock = std::chrono::steady_clock;
    const LineTimeouts whole = m_line->timeouts();
    const Clock::time_point deadline =
        Clock::now() +
        std::chrono::milliseconds(whole.readConstant + qint64(whole.readMultiplier) * count);
    LineTimeouts slice = whole;
    slice.readMultiplier = 0;
    int got = 0;
    for (;;) {
        const Clock::time_point start = Clock::now();
        const qint64 left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - start).count();
        slice.readConstant = quint32(std::clamp<qint64>(left, 0, IdleSliceMs));
        m_line->setTimeouts(slice);
        got += int(m_line->read(into + got, count - got));
        if (got >= count || left <= IdleSliceMs)
            break;
        // A slice that ended before its time without everything: the line hung up or failed,
        // and waiting on would not bring more.
        if (Clock::now() - start + std::chrono::milliseconds(2) <
            std::chrono::milliseconds(slice.readConstant))
            break;
        idle();
    }
    return got;
}

void Link::saveSettings()
{
    savedPort = port;
    savedLine = line;
}

void Link::restoreSettings()
{
    port = savedPort;
    line = savedLine;
}

QByteArrayView Link::received(int count) const
{
    return QByteArrayView(m_rx.data(), std::clamp(count, 0, ReceiveSize));
}

void Link::pauseForAnswer(TransferUi& ui, int ms)
{
    if (ms <= 0)
        return;
    if (fastTransfers && isOpen()) {
        QElapsedTimer waited;
        waited.start();
        int r = 0;
        if (idle) {
            // In slices, as a read waits, so that the window works meanwhile.
            for (qint64 left = ms; left > 0 && r == 0; left = ms - waited.elapsed()) {
                r = m_line->waitReadable(int(qMin<qint64>(left, IdleSliceMs)));
                if (r == 0 && ms - waited.elapsed() > 0)
                    idle();
            }
        } else {
            r = m_line->waitReadable(ms);
        }
        if (r >= 0) {
            m_creditMs += int(qMax<qint64>(0, ms - waited.elapsed()));
            return;
        }
    }
    ui.waitMs(ms);
}

void Link::pauseBetweenFrames(TransferUi& ui, int ms)
{
    if (ms <= 0)
        return;
    if (fastTransfers && isOpen()) {
        m_creditMs += ms;
        return;
    }
    ui.waitMs(ms);
}
