#include "link.h"

#include "networkline.h"
#include "portmap.h"

#include <QElapsedTimer>
#include <algorithm>
#include <utility>

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
    const int number = port;
    const QString name = portmap::displayName(number);
    if (!portChosen()) {
        if (verbose)
            ui.showMessage(QStringLiteral("Nie wybrano portu komunikacyjnego."),
                           TransferUi::Icon::Error);
        port = NoPort;
        return 1;
    }
    const QString path = portmap::devicePath(number);
    // A serial device server's address is reached over TCP; a device path by the factory.
    if (portmap::isNetworkAddress(path))
        m_line = std::make_unique<NetworkSerialLine>();
    else
        m_line = m_factory();
    const SerialLine::OpenError error = m_line->open(path);
    if (error != SerialLine::OpenError::None) {
        if (verbose) {
            QString text = QStringLiteral("Nie mogę otworzyć portu ") + name + QLatin1Char('.');
            if (error == SerialLine::OpenError::PermissionDenied)
                text += QLatin1Char('\n') + portmap::permissionHint(path);
            ui.showMessage(text, TransferUi::Icon::Error);
        }
        m_line.reset();
        port = NoPort;
        return 1;
    }
    // Open: 100 ms + 1 ms a byte for reads, 100 ms + 10 ms a byte for writes.
    m_line->setTimeouts(LineTimeouts{0, 1, 100, 10, 100});
    if (!m_line->configure(line)) {
        if (verbose)
            ui.showMessage(QStringLiteral("Nie mogę otworzyć portu ") + name +
                               QStringLiteral(" z takimi ustawieniami."),
                           TransferUi::Icon::Error);
        port = NoPort;
        closePort();
        return 1;
    }
    m_line->status(); // clears pending line errors
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
            // An unplugged adapter: reopen the same port number once for this send and send
            // the frame again whole; the register drops the part it got before.
            closePort();
            if (reopened) {
                ui.showMessage(QStringLiteral("Wystąpił błąd transmisji."),
                               TransferUi::Icon::Error);
                port = NoPort;
                return 1;
            }
            reopened = true;
            if (openPort(ui, true) != 0)
                return 1;
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
    const int n = int(m_line->read(m_rx.data() + offset, count));
    if (credit > 0)
        m_line->setTimeouts(own);
    if (trace)
        trace('<', QByteArrayView(m_rx.data() + offset, n));
    return n;
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
        const int r = m_line->waitReadable(ms);
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
