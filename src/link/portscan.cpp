#include "portscan.h"

#include "common/transferrun.h"

#include "answers.h"
#include "frame.h"
#include "portmap.h"

#include "common/cp1250.h"

#include <algorithm>

namespace {

// The probes are silent: whatever the link would say about a port that fails is swallowed,
// and a line held by flow control is given up at once instead of waiting for it.
class QuietUi : public TransferUi {
public:
    explicit QuietUi(TransferUi& inner) : m_inner(inner) {}
    void showMessage(const QString&, Icon) override {}
    Answer ask(const QString&, Buttons buttons, Icon, const QString&) override
    {
        return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
    void waitMs(int ms) override { m_inner.waitMs(ms); }
    qint64 nowMs() const override { return m_inner.nowMs(); }
    bool waitForLine(const std::function<bool()>&) override { return false; }

private:
    TransferUi& m_inner;
};

constexpr quint32 SearchBaud = 115200;
constexpr int Addresses = 9;

// Opens `port` without messages; the port number is set to it first (a failed open sets it
// to none, which the callers put right). A port another program holds goes into `held`.
bool tryOpen(Link& link, TransferUi& ui, int port, QList<portscan::HeldPort>* held = nullptr)
{
    link.port = port;
    if (link.openPort(ui, false) == 0)
        return true;
    if (held && link.openError() == SerialLine::OpenError::Busy &&
        std::none_of(held->cbegin(), held->cend(),
                     [port](const portscan::HeldPort& h) { return h.port == port; }))
        held->append({port, link.portHolder()});
    return false;
}

} // namespace

namespace portscan {

QString networkAddress()
{
    const QString path = portmap::devicePath(NetworkPort);
    return portmap::isNetworkAddress(path) ? path : QString();
}

void setNetworkAddress(const QString& address)
{
    if (!address.isEmpty() || !networkAddress().isEmpty())
        portmap::setPortOverride(NetworkPort, address);
}

QString portEntry(int port)
{
    if (port == NetworkPort && !networkAddress().isEmpty())
        return NetworkEntry;
    return QStringLiteral("COM ") + QString::number(port);
}

int portFromEntry(const QString& entry)
{
    if (entry.startsWith(NetworkEntry))
        return NetworkPort;
    const int at = entry.indexOf(QLatin1String("COM"));
    if (at < 0)
        return 0;
    int i = at + 3;
    while (i < entry.size() && entry[i] == QLatin1Char(' '))
        ++i;
    int n = 0;
    int digits = 0;
    while (i < entry.size() && entry[i].isDigit() && digits < 3) {
        n = n * 10 + entry[i].digitValue();
        ++i;
        ++digits;
    }
    return digits > 0 ? n : 0;
}

QList<int> probeOrder()
{
    QList<int> usb;
    QList<int> others;
    for (int p = FirstPort; p <= LastPort; ++p)
        (portmap::isUsb(p) ? usb : others) << p;
    return usb + others;
}

QString heldEntry(const HeldPort& held)
{
    return portEntry(held.port) + QStringLiteral(": zajęty przez ") +
           (held.holder.isEmpty() ? QStringLiteral("inny program") : held.holder);
}

QList<int> availablePorts(Link& link, TransferUi& ui, bool letEventsRun, QList<HeldPort>* held)
{
    QuietUi quiet(ui);
    const int before = link.port;
    link.closePort();
    QList<int> ports;
    for (int p : probeOrder()) {
        if (letEventsRun) {
            ui.processEvents();
            if (ui.stopRequested())
                break;
        }
        if (tryOpen(link, quiet, p, held))
            ports << p;
        link.closePort();
    }
    link.port = before;
    return ports;
}

int quickSearch(Link& link, TransferUi& caller, const std::function<void(int port)>& trying,
                QList<HeldPort>* held)
{
    TransferRun ui(caller);
    QuietUi quiet(ui);
    link.line.baud = SearchBaud;
    link.closePort();
    link.port = Link::NoPort;
    // Window messages run before every port, so that the search panel's "Anuluj" can stop
    // the search between two ports.
    const QList<int> order = probeOrder();
    int tried = 0;
    for (int p : order) {
        ui.processEvents();
        if (ui.stopRequested())
            break;
        if (trying)
            trying(p);
        if (tryOpen(link, quiet, p, held)) {
            if (answers::probe(link, quiet, frame::Single, answers::ProbeAnswer::Search))
                return p;
            link.closePort();
        }
        ui.progress(++tried, int(order.size()));
    }
    link.closePort();
    link.port = Link::NoPort;
    return 0;
}

ScanResult
registerScan(Link& link, TransferUi& caller,
             const std::function<void(int address, int port, int done, int total)>& showing)
{
    TransferRun ui(caller);
    QuietUi quiet(ui);
    ScanResult result;
    const int heldPort = link.port;
    const LineSettings heldLine = link.line;
    const quint8 heldAddress = link.address;

    link.closePort();
    result.portsOpened = int(availablePorts(link, ui, true, &result.held).size());

    link.line.baud = SearchBaud;
    const int total = result.portsOpened * Addresses;
    int done = 0;
    ui.progress(0, total);
    link.clearReceiveArea();
    link.closePort();
    link.port = Link::NoPort;

    // Window messages run before every probe, so that the dialog's "Anuluj" can stop the
    // scan between two probes; the link state is put back all the same.
    const QList<int> order = probeOrder();
    for (int address = 1; address <= Addresses && !ui.stopRequested(); ++address) {
        link.address = quint8(address);
        for (int p : order) {
            ui.processEvents();
            if (ui.stopRequested())
                break;
            if (showing)
                showing(address, p, done, total);
            if (tryOpen(link, quiet, p, &result.held)) {
                ui.progress(++done, total);
                if (showing)
                    showing(address, p, done, total);
                if (answers::probe(link, quiet, 0, answers::ProbeAnswer::Search))
                    result.found << FoundRegister{p, quint8(address)};
            }
            link.closePort();
        }
    }
    link.closePort();
    link.port = Link::NoPort;

    link.port = heldPort;
    link.line = heldLine;
    link.address = heldAddress;
    if (link.portChosen()) {
        result.previousPortReopened = link.openPort(quiet, false) == 0;
        // A failed open sets the port number to none; the settings themselves stay.
        if (!result.previousPortReopened)
            link.port = heldPort;
    }
    return result;
}

bool connectFound(Link& link, TransferUi& ui, const FoundRegister& found)
{
    link.closePort();
    link.port = found.port;
    if (link.openPort(ui, true) != 0)
        return false;
    link.address = found.address;
    return true;
}

ApplyOutcome applySettings(Link& link, TransferUi& ui, const PortChoice& choice)
{
    link.closePort();
    if (choice.port < FirstPort || choice.port > LastPort) {
        link.port = Link::NoPort;
        return ApplyOutcome::NoPortChosen;
    }
    const QString heldAddress = networkAddress();
    const TlsTrust heldTls = link.tls;
    if (choice.port == NetworkPort) {
        setNetworkAddress(choice.networkAddress);
        link.tls = choice.tls;
    }
    link.port = choice.port;
    link.line = choice.line;
    if (link.openPort(ui, true) == 0) {
        link.address = choice.address;
        return ApplyOutcome::Opened;
    }
    setNetworkAddress(heldAddress);
    link.tls = heldTls;
    link.restoreSettings();
    if (link.portChosen())
        link.openPort(ui, true);
    return ApplyOutcome::Failed;
}

QString portLabel(int port)
{
    const QString path = portmap::devicePath(port);
    if (path.isEmpty())
        return portEntry(port);
    const QString byId = portmap::byIdName(port);
    return portEntry(port) + QStringLiteral(" (") + path +
           (byId.isEmpty() || path.endsWith(byId) ? QString() : QStringLiteral(", ") + byId) + u')';
}

QString foundEntry(const FoundRegister& found)
{
    return portLabel(found.port) + QStringLiteral(", adres ") + QString::number(found.address);
}

QString bufferText(QByteArrayView bytes, BufferView view)
{
    const qsizetype zero = bytes.indexOf('\0');
    const QByteArrayView shown = zero < 0 ? bytes : bytes.first(zero);
    if (view == BufferView::Char)
        return cp1250::decode(shown);
    QString text;
    text.reserve(shown.size() * 4);
    for (char c : shown) {
        const uint b = quint8(c);
        text += view == BufferView::Hex
                    ? QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper()
                    : QString::number(b);
        text += u' ';
    }
    return text;
}

} // namespace portscan
