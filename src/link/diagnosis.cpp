#include "diagnosis.h"

#include "networkline.h"
#include "portholder.h"
#include "portmap.h"
#include "tcpreach.h"

#include <QFileInfo>
#include <QMap>

namespace diagnosis {

namespace {
using hostfacts::Group;
using hostfacts::Process;

// The udev rules file the remedies name; the program's own, so that it never touches
// another package's file.
const QString OwnRulesFile = QStringLiteral("/etc/udev/rules.d/99-vorn-duno.rules");

// At most this many device paths are named in one finding.
constexpr int PathsNamed = 4;

QString pathList(const QList<Device>& devices)
{
    QStringList paths;
    for (const Device& d : devices)
        if (paths.size() < PathsNamed)
            paths << d.path;
    QString text = paths.join(QStringLiteral(", "));
    if (devices.size() > PathsNamed)
        text += QStringLiteral(" i inne");
    return text;
}

// "/dev/ttyUSB0 (USB Serial, 1a86:7523)"
QString deviceTitle(const Device& d)
{
    QStringList about;
    if (!d.product.isEmpty())
        about << d.product;
    if (!d.usbId().isEmpty())
        about << d.usbId();
    return about.isEmpty() ? d.path
                           : d.path + QStringLiteral(" (") + about.join(QStringLiteral(", ")) +
                                 QLatin1Char(')');
}

QString titles(const QList<Device>& devices)
{
    QStringList out;
    for (const Device& d : devices)
        out << deviceTitle(d);
    return out.join(QStringLiteral(", "));
}

qint64 pidOf(const QList<Process>& processes, const QString& comm)
{
    for (const Process& p : processes)
        if (p.comm == comm)
            return p.pid;
    return 0;
}

void addGroupFindings(Report& report, const Roots& roots, const User& user,
                      const QList<Group>& groups)
{
    // Without any device in sight, the on-board ports' nodes, which every computer has, still
    // carry the group a serial device gets.
    const QList<Device> nodes =
        report.devices.isEmpty() ? serialdevices::onBoardNodes(roots, groups) : report.devices;
    QMap<quint32, QList<Device>> blocked; // by the group that could open them
    for (const Device& d : nodes)
        if (!d.accessibleTo(user) && (d.mode & 0060) == 0060)
            blocked[d.gid] << d;
    const QString name = user.name.isEmpty() ? QStringLiteral("$USER") : user.name;
    for (auto it = blocked.cbegin(); it != blocked.cend(); ++it) {
        const QString group = hostfacts::groupName(groups, it.key());
        bool listed = false;
        for (const Group& g : groups)
            listed = listed || (g.gid == it.key() && g.members.contains(user.name));
        const QString paths = pathList(*it);
        const QString now = QStringLiteral("(od razu, w jednej powłoce: newgrp %1)").arg(group);
        Finding f{Problem::NotInGroup, {}, {}};
        if (listed) {
            f.text = QStringLiteral("Użytkownik %1 jest już w grupie %2, ale ta sesja jeszcze "
                                    "tego nie widzi: porty %3 są dla niej niedostępne.")
                         .arg(name, group, paths);
            f.remedy = QStringLiteral("Wyloguj się i zaloguj ponownie ") + now + QLatin1Char('.');
        } else {
            f.text = QStringLiteral("Użytkownik %1 nie należy do grupy %2, a tylko ta grupa "
                                    "może otwierać porty %3.")
                         .arg(name, group, paths);
            f.remedy = QStringLiteral("Dodaj użytkownika do grupy %1:\n"
                                      "  sudo usermod -aG %1 %2\n"
                                      "Zmiana działa po wylogowaniu się i ponownym zalogowaniu ")
                           .arg(group, name) +
                       now + QLatin1Char('.');
        }
        report.findings << f;
    }
}

void addBrlttyFinding(Report& report, const Roots& roots, const QList<Process>& processes)
{
    const qint64 pid = pidOf(processes, QStringLiteral("brltty"));
    QStringList rules = hostfacts::rulesMentioning(roots, QStringLiteral("brltty"));
    if (pid == 0 || rules.isEmpty())
        return;
    for (QString& r : rules)
        r = roots.systemPath(r);
    QList<Device> adapters;
    for (const Device& d : report.devices)
        if (d.isUsbSerial())
            adapters << d;
    const QString start =
        QStringLiteral("Działa brltty (obsługa monitorów brajlowskich, proces %1), a jego reguły "
                       "udev (%2) przejmują popularne adaptery USB-RS232 (CH340/CH341, CP210x, "
                       "FT232) chwilę po podłączeniu")
            .arg(pid)
            .arg(rules.join(QStringLiteral(", ")));
    Finding f{Problem::Brltty, {}, {}};
    if (adapters.isEmpty())
        f.text = start + QStringLiteral("; nie widać żadnego adaptera USB, więc podłączony "
                                        "mógł już zostać zabrany.");
    else
        f.text = start + QStringLiteral(": ") + titles(adapters) +
                 QStringLiteral(" może w każdej chwili zniknąć.");
    f.remedy = QStringLiteral(
        "Jeśli do komputera nie jest podłączony monitor brajlowski, zatrzymaj brltty i nie "
        "pozwól go uruchamiać przy podłączaniu urządzeń:\n"
        "  sudo systemctl stop brltty-udev.service brltty.service\n"
        "  sudo systemctl mask brltty-udev.service\n"
        "albo usuń pakiet brltty:\n"
        "  sudo apt remove brltty\n"
        "Potem odłącz adapter i podłącz go ponownie.");
    report.findings << f;
}

void addModemManagerFinding(Report& report, const Roots& roots, const QList<Process>& processes)
{
    const qint64 pid = pidOf(processes, QStringLiteral("ModemManager"));
    if (pid == 0)
        return;
    QList<Device> devices;
    QStringList ruleLines;
    for (const Device& d : report.devices) {
        if (!d.isUsbCdc())
            continue;
        const QString vendor = QLatin1Char('"') + d.vendorId + QLatin1Char('"');
        const QString product = QLatin1Char('"') + d.productId + QLatin1Char('"');
        // A rule that already tells ModemManager to leave the device alone.
        if (!d.vendorId.isEmpty() &&
            !hostfacts::rulesLinesWith(roots,
                                       {QStringLiteral("ID_MM_DEVICE_IGNORE"), vendor, product})
                 .isEmpty())
            continue;
        devices << d;
        const QString line =
            d.vendorId.isEmpty()
                ? QStringLiteral("KERNEL==\"ttyACM*\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"")
                : QStringLiteral("ATTRS{idVendor}==%1, ATTRS{idProduct}==%2, "
                                 "ENV{ID_MM_DEVICE_IGNORE}=\"1\"")
                      .arg(vendor, product);
        if (!ruleLines.contains(line))
            ruleLines << line;
    }
    if (devices.isEmpty())
        return;
    Finding f{Problem::ModemManager, {}, {}};
    f.text = QStringLiteral("Działa ModemManager (proces %1): każde nowe urządzenie ttyACM "
                            "otwiera i przez kilka sekund wysyła do niego polecenia AT, co "
                            "przeszkadza w rozmowie z kasą na %2.")
                 .arg(pid)
                 .arg(titles(devices));
    QStringList commands;
    for (const QString& line : ruleLines)
        commands << QStringLiteral("  echo '%1' | sudo tee -a %2").arg(line, OwnRulesFile);
    f.remedy = QStringLiteral("Dodaj regułę udev, żeby ModemManager pomijał to urządzenie: do "
                              "pliku %1 wpisz\n")
                   .arg(OwnRulesFile);
    for (const QString& line : ruleLines)
        f.remedy += QStringLiteral("  ") + line + QLatin1Char('\n');
    f.remedy += QStringLiteral("na przykład tak:\n") + commands.join(QLatin1Char('\n')) +
                QStringLiteral("\npotem wczytaj reguły ponownie:\n"
                               "  sudo udevadm control --reload\n"
                               "i odłącz urządzenie, a potem podłącz je ponownie.");
    report.findings << f;
}

void addHeldFinding(Report& report, const QString& path, const QString& node,
                    const QString& procRoot)
{
    const QList<portholder::Holder> holders = portholder::holders(node, procRoot);
    if (holders.isEmpty())
        return;
    QStringList pids;
    for (const portholder::Holder& h : holders)
        pids << QString::number(h.pid);
    report.findings << Finding{
        Problem::PortHeld,
        QStringLiteral("Port %1 jest otwarty przez inny program: %2.")
            .arg(path, portholder::holderText(holders)),
        QStringLiteral("Zamknij ten program i spróbuj ponownie; jeśli nie da się go zamknąć, "
                       "zakończ go poleceniem:\n  kill %1")
            .arg(pids.join(QLatin1Char(' ')))};
}

// Every device listed, and the configured port's own device when it is none of them (a
// pseudo-terminal, a link of a name of its own).
void addHeldFindings(Report& report, const Roots& roots, const QString& configured)
{
    QStringList seen;
    for (const Device& d : report.devices) {
        const QString node = roots.devicePath(d.path);
        seen << QFileInfo(node).canonicalFilePath();
        addHeldFinding(report, d.path, node, roots.proc);
    }
    if (configured.isEmpty() || portmap::isNetworkAddress(configured))
        return;
    const QString node = roots.devicePath(configured);
    const QString real = QFileInfo(node).canonicalFilePath();
    if (!real.isEmpty() && !seen.contains(real))
        addHeldFinding(report, configured, node, roots.proc);
}

const QString DeviceRemedy = QStringLiteral(
    "Sprawdź, czy kasa jest włączona, a jej kabel albo adapter USB podłączony; potem wybierz "
    "port, przy którym kasa stoi na liście urządzeń (Komunikacja → Parametry transmisji; w "
    "poleceniu vduno: --port N albo --device ŚCIEŻKA).");

const QString ServerRemedy = QStringLiteral(
    "Sprawdź adres i numer portu serwera portu szeregowego (w jego ustawieniach, np. ser2net), "
    "czy serwer jest włączony i podłączony do sieci oraz kabel między serwerem a kasą.");

QString configuredPath(const Configured& configured)
{
    return configured.path.isEmpty() ? portmap::devicePath(configured.port) : configured.path;
}

void addConfiguredFinding(Report& report, const Roots& roots, const Configured& configured,
                          int serverTimeoutMs)
{
    if (configured.port < 1 || configured.port > 99)
        return;
    const QString path = configuredPath(configured);
    const QString com = QStringLiteral("COM%1").arg(configured.port);
    if (const std::optional<NetworkAddress> address = parseNetworkAddress(path)) {
        const QString server =
            QStringLiteral("Serwer portu szeregowego %1, wybrany jako port %2, ").arg(path, com);
        QString text;
        switch (tcpreach::check(address->host, address->port, serverTimeoutMs)) {
        case tcpreach::Result::Answered:
            return;
        case tcpreach::Result::Refused:
            text = server + QStringLiteral("odmówił połączenia: pod tym adresem nic nie "
                                           "nasłuchuje.");
            break;
        case tcpreach::Result::NoAnswer:
            text = server + QStringLiteral("nie odpowiedział w ciągu %1 s.")
                                .arg(QString::number(serverTimeoutMs / 1000.0));
            break;
        case tcpreach::Result::UnknownHost:
            text = QStringLiteral("Nie można znaleźć komputera %1 z adresu %2, wybranego jako "
                                  "port %3.")
                       .arg(address->host, path, com);
            break;
        }
        report.findings << Finding{Problem::NoServer, text, ServerRemedy};
        return;
    }
    if (path.isEmpty()) {
        report.findings << Finding{
            Problem::NoDevice,
            QStringLiteral("Wybrany port %1 nie ma przypisanego urządzenia.").arg(com),
            DeviceRemedy};
    } else if (!QFileInfo::exists(roots.devicePath(path))) {
        report.findings << Finding{
            Problem::NoDevice,
            QStringLiteral("Wybrany port %1 to %2, a takiego urządzenia nie ma.").arg(com, path),
            DeviceRemedy};
    }
}
} // namespace

Report run(const Roots& roots, const User& user, const Configured& configured, int serverTimeoutMs)
{
    const QList<Group> groups = hostfacts::groups(roots);
    const QList<Process> processes = hostfacts::processes(roots);
    Report report;
    report.devices = serialdevices::list(roots, groups);
    addGroupFindings(report, roots, user, groups);
    addBrlttyFinding(report, roots, processes);
    addModemManagerFinding(report, roots, processes);
    addHeldFindings(report, roots, configuredPath(configured));
    addConfiguredFinding(report, roots, configured, serverTimeoutMs);
    // A register behind a serial device server needs no serial port of this computer.
    if (report.devices.isEmpty() && !portmap::isNetworkAddress(configuredPath(configured)))
        report.findings << Finding{
            Problem::NoSerialPort, QStringLiteral("Nie znaleziono żadnego portu szeregowego."),
            QStringLiteral("Sprawdź kabel kasy i adapter USB (odłącz go i podłącz ponownie, "
                           "spróbuj innego gniazda USB), a potem zobacz, co system zapisał "
                           "przy podłączaniu:\n"
                           "  sudo dmesg | tail -n 20")};
    return report;
}

QString problemName(Problem problem)
{
    switch (problem) {
    case Problem::NotInGroup:
        return QStringLiteral("group");
    case Problem::Brltty:
        return QStringLiteral("brltty");
    case Problem::ModemManager:
        return QStringLiteral("modemmanager");
    case Problem::PortHeld:
        return QStringLiteral("held");
    case Problem::NoDevice:
        return QStringLiteral("no-device");
    case Problem::NoServer:
        return QStringLiteral("no-server");
    case Problem::NoSerialPort:
        return QStringLiteral("no-serial-port");
    }
    return {};
}

} // namespace diagnosis
