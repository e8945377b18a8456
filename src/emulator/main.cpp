// duno-emulator: a Vorn Duno register on a pseudo-terminal, or behind a TCP port.
#include "damageproxy.h"
#include "emulatorhost.h"
#include "registermodel.h"
#include "tcphost.h"
#include "tlsfront.h"

#include "common/cp1250.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#ifndef VDUNO_VERSION
#define VDUNO_VERSION "0"
#endif

#include <csignal>
#include <cstdio>
#include <list>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_quit = 0;
void onSignal(int)
{
    g_quit = 1;
}

void print(const QString& text)
{
    QTextStream(stdout) << text << Qt::endl;
}

// Usage errors go where a script's error output goes, not among its results.
void printError(const QString& text)
{
    QTextStream(stderr) << text << Qt::endl;
}

void usage()
{
    print(QStringLiteral(
        "Użycie: duno-emulator [opcje]\n"
        "  --model duno|duno-bis   model kasy (domyślnie duno-bis)\n"
        "  --address A             adres kasy 1..9 (domyślnie 1)\n"
        "  --addresses A,B,...     kilka kas na jednej linii, każda pod swoim adresem 1..9\n"
        "  --demo                  przykładowa zawartość (towary, kasjerzy, obroty)\n"
        "  --state PLIK            tabele kasy wczytywane z pliku i zapisywane przy wyjściu\n"
        "                          (przy kilku kasach: PLIK.A dla kasy o adresie A)\n"
        "  --com N                 udostępnia kasę pod numerem portu COM N\n"
        "  --baud B                tempo wysyłania bajtów (10 bitów na bajt)\n"
        "  --record-ms MS          czas obsługi jednego rekordu\n"
        "  --busy L  --paper-out L  --corrupt L  --silent L  --truncate L  --noise L\n"
        "  --slow L  --vanish L    błędy dla ramek o numerach z listy L (np. 1,3,5)\n"
        "  --lose L                po potwierdzeniu z listy L następna ramka odczytu ginie\n"
        "  --slow-ms MS            opóźnienie odpowiedzi przy --slow (domyślnie 1500)\n"
        "  --vanish-back MS        po --vanish urządzenie wraca po MS milisekundach\n"
        "  --link PATH             stała nazwa urządzenia (dowiązanie do pseudoterminala)\n"
        "  --tcp PORT              kasa pod adresem 127.0.0.1:PORT (jak serwer portów\n"
        "                          szeregowych) zamiast pseudoterminala\n"
        "  --rfc2217               z --tcp lub --tcp-fleet: telnet z opcją COM-PORT (RFC 2217)\n"
        "  --tcp-fleet N           sieć N kas (1..64), każda pod swoim portem TCP: PORT, PORT+1,\n"
        "                          ... z --tcp PORT, bez niego wolne porty; stan w PLIK.1..PLIK.N\n"
        "  --fleet-list PLIK       z --tcp-fleet: lista kas dla vduno --registers PLIK\n"
        "  --damage P              z --tcp: kiepski kabel, w każdym bajcie (w obie strony)\n"
        "                          jeden bit odwrócony z prawdopodobieństwem P (np. 0.0001)\n"
        "  --seed N                ziarno losowania uszkodzeń (domyślnie 1)\n"
        "  --tls-cert PLIK  --tls-key PLIK\n"
        "                          z --tcp: kasa za TLS (jak port TLS serwera portów\n"
        "                          szeregowych), certyfikat i klucz prywatny w plikach PEM\n"
        "  --version               wersja programu\n"
        "  --help                  ta pomoc"));
}

bool parseList(const QString& text, QSet<int>& into)
{
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = part.toInt(&ok);
        if (!ok || n < 1)
            return false;
        into.insert(n);
    }
    return true;
}

// Register addresses "1,2,3": each 1..9, none twice.
bool parseAddresses(const QString& text, QList<int>& into)
{
    into.clear();
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int a = part.toInt(&ok);
        if (!ok || a < 1 || a > 9 || into.contains(a))
            return false;
        into.append(a);
    }
    return !into.isEmpty();
}

// The register list the program takes with --registers: one register a line, each with its
// own database beside the list.
bool writeFleetList(const QString& path, const std::list<emu::TcpHost>& hosts, int address)
{
    QString text = QStringLiteral(
        "# Kasy sieci sklepów (vduno --registers PLIK). Jedna kasa w wierszu:\n"
        "#   NAZWA  PORT  ADRES  [BAZA]\n"
        "# PORT: COM3, /dev/ttyUSB0, tcp://HOST:PORT albo rfc2217://HOST:PORT; ADRES 1..9;\n"
        "# BAZA (nieobowiązkowa): plik .vkf tej kasy, względem katalogu tej listy.\n"
        "# Pola rozdziela odstęp; pole z odstępami w cudzysłowie (\"Sklep Rynek\").\n");
    int k = 0;
    for (const emu::TcpHost& host : hosts) {
        const QString name = QStringLiteral("kasa%1").arg(++k);
        text += QStringLiteral("%1  %2  %3  %1.vkf\n").arg(name, host.address()).arg(address);
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!cp1250::available()) {
        QTextStream(stderr) << cp1250::missingMessage() << Qt::endl;
        return 1;
    }
    QStringList args = QCoreApplication::arguments().mid(1);
    emu::Model model = emu::Model::DunoBis;
    QList<int> addresses{1};
    int baud = 0, recordMs = 0, com = 0, tcpPort = -1, fleet = 0;
    double damage = 0;
    quint64 seed = 1;
    bool demo = false, rfc2217 = false;
    QString state, linkPath, fleetList, tlsCert, tlsKey;
    int vanishBack = -1;
    emu::FaultPlan faults;
    while (!args.isEmpty()) {
        const QString opt = args.takeFirst();
        auto value = [&](QString& v) {
            if (args.isEmpty())
                return false;
            v = args.takeFirst();
            return true;
        };
        QString v;
        bool ok = true;
        if (opt == QLatin1String("--model")) {
            ok = value(v) && (v == QLatin1String("duno") || v == QLatin1String("duno-bis"));
            model = v == QLatin1String("duno") ? emu::Model::Duno : emu::Model::DunoBis;
        } else if (opt == QLatin1String("--address")) {
            ok = value(v);
            const int address = v.toInt(&ok);
            ok = ok && address >= 1 && address <= 9;
            addresses = {address};
        } else if (opt == QLatin1String("--addresses")) {
            ok = value(v) && parseAddresses(v, addresses);
        } else if (opt == QLatin1String("--demo")) {
            demo = true;
        } else if (opt == QLatin1String("--state")) {
            ok = value(state);
        } else if (opt == QLatin1String("--com")) {
            ok = value(v);
            com = v.toInt(&ok);
            ok = ok && com >= 1 && com <= 99;
        } else if (opt == QLatin1String("--baud")) {
            ok = value(v);
            baud = v.toInt(&ok);
            ok = ok && baud > 0;
        } else if (opt == QLatin1String("--record-ms")) {
            ok = value(v);
            recordMs = v.toInt(&ok);
            ok = ok && recordMs >= 0;
        } else if (opt == QLatin1String("--slow-ms")) {
            ok = value(v);
            faults.slowMs = v.toInt(&ok);
            ok = ok && faults.slowMs >= 0;
        } else if (opt == QLatin1String("--busy")) {
            ok = value(v) && parseList(v, faults.busy);
        } else if (opt == QLatin1String("--paper-out")) {
            ok = value(v) && parseList(v, faults.paperOut);
        } else if (opt == QLatin1String("--corrupt")) {
            ok = value(v) && parseList(v, faults.corrupt);
        } else if (opt == QLatin1String("--silent")) {
            ok = value(v) && parseList(v, faults.silent);
        } else if (opt == QLatin1String("--truncate")) {
            ok = value(v) && parseList(v, faults.truncate);
        } else if (opt == QLatin1String("--noise")) {
            ok = value(v) && parseList(v, faults.noise);
        } else if (opt == QLatin1String("--lose")) {
            ok = value(v) && parseList(v, faults.lose);
        } else if (opt == QLatin1String("--slow")) {
            ok = value(v) && parseList(v, faults.slow);
        } else if (opt == QLatin1String("--vanish-back")) {
            ok = value(v);
            vanishBack = v.toInt(&ok);
            ok = ok && vanishBack >= 0;
        } else if (opt == QLatin1String("--link")) {
            ok = value(linkPath);
        } else if (opt == QLatin1String("--vanish")) {
            ok = value(v) && parseList(v, faults.vanish);
        } else if (opt == QLatin1String("--tcp")) {
            ok = value(v);
            tcpPort = v.toInt(&ok);
            ok = ok && tcpPort >= 0 && tcpPort <= 65535;
        } else if (opt == QLatin1String("--tcp-fleet")) {
            ok = value(v);
            fleet = v.toInt(&ok);
            ok = ok && fleet >= 1 && fleet <= 64;
        } else if (opt == QLatin1String("--fleet-list")) {
            ok = value(fleetList);
        } else if (opt == QLatin1String("--damage")) {
            ok = value(v);
            damage = v.toDouble(&ok);
            ok = ok && damage >= 0 && damage <= 1;
        } else if (opt == QLatin1String("--seed")) {
            ok = value(v);
            seed = v.toULongLong(&ok);
        } else if (opt == QLatin1String("--tls-cert")) {
            ok = value(tlsCert);
        } else if (opt == QLatin1String("--tls-key")) {
            ok = value(tlsKey);
        } else if (opt == QLatin1String("--rfc2217")) {
            rfc2217 = true;
        } else if (opt == QLatin1String("--help")) {
            usage();
            return 0;
        } else if (opt == QLatin1String("--version")) {
            print(QStringLiteral("duno-emulator " VDUNO_VERSION));
            return 0;
        } else {
            printError(QStringLiteral("Nieznana opcja: ") + opt +
                       QStringLiteral("\nWięcej: duno-emulator --help"));
            return 2;
        }
        if (!ok) {
            printError(QStringLiteral("Błędna wartość opcji ") + opt);
            return 2;
        }
    }

    if (fleet > 0 && addresses.size() > 1) {
        printError(
            QStringLiteral("Opcji --tcp-fleet nie łączy się z --addresses: każda kasa sieci ma "
                           "swój port i jeden adres (--address)"));
        return 2;
    }
    if (fleet > 0 && com > 0) {
        printError(QStringLiteral("Opcji --tcp-fleet nie łączy się z --com"));
        return 2;
    }
    if (!fleetList.isEmpty() && fleet == 0) {
        printError(QStringLiteral("Opcja --fleet-list wymaga --tcp-fleet N"));
        return 2;
    }
    if (fleet > 0 && tcpPort > 0 && tcpPort + fleet - 1 > 65535) {
        printError(QStringLiteral("Porty kas sieci wykraczają poza 65535"));
        return 2;
    }

    // One register for each address; with several, each keeps its state in a file of its own.
    // A fleet has N registers at the one address, each on a port and in a state file of its own.
    std::list<emu::RegisterModel> registers;
    QList<emu::RegisterModel*> line;
    auto stateFile = [&](int k) -> QString {
        if (fleet > 0)
            return state + QStringLiteral(".%1").arg(k + 1);
        return addresses.size() == 1 ? state : state + QStringLiteral(".%1").arg(addresses[k]);
    };
    for (int k = 0; k < (fleet > 0 ? fleet : int(addresses.size())); ++k) {
        emu::RegisterModel& reg =
            registers.emplace_back(model, fleet > 0 ? addresses.first() : addresses[k]);
        line.append(&reg);
        const QString file = stateFile(k);
        if (!state.isEmpty() && QFile::exists(file)) {
            if (!reg.load(file)) {
                printError(QStringLiteral("Nie mogę wczytać stanu kasy z pliku ") + file);
                return 1;
            }
        } else if (demo) {
            reg.fillDemo();
        }
        reg.setFaults(faults);
        reg.setRecordDelayMs(recordMs);
    }
    // Handlers first: whoever reads the device path may stop the register at once.
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    auto saveState = [&] {
        for (int k = 0; k < line.size(); ++k)
            if (!state.isEmpty() && !line[k]->save(stateFile(k))) {
                printError(QStringLiteral("Nie mogę zapisać stanu kasy do pliku ") + stateFile(k));
                return 1;
            }
        return 0;
    };
    if (rfc2217 && tcpPort < 0 && fleet == 0) {
        printError(QStringLiteral("Opcja --rfc2217 wymaga --tcp PORT"));
        return 2;
    }
    // Checked before any register starts: a fleet takes neither TLS nor damage.
    const bool tls = !tlsCert.isEmpty() || !tlsKey.isEmpty();
    if (tls && (tlsCert.isEmpty() || tlsKey.isEmpty() || tcpPort < 0 || fleet > 0 || damage > 0)) {
        printError(
            QStringLiteral("Opcje --tls-cert PLIK i --tls-key PLIK podaje się razem, z --tcp "
                           "PORT (bez --tcp-fleet i --damage)"));
        return 2;
    }
    if (damage > 0 && (tcpPort < 0 || fleet > 0 || rfc2217)) {
        printError(QStringLiteral(
            "Opcja --damage działa tylko z --tcp PORT (bez --rfc2217 i --tcp-fleet)"));
        return 2;
    }
    if (fleet > 0) {
        std::list<emu::TcpHost> hosts;
        for (int k = 0; k < fleet; ++k) {
            emu::TcpHost& tcp = hosts.emplace_back(*line[k], emu::LineTiming{baud}, rfc2217);
            const int port = tcpPort > 0 ? tcpPort + k : 0;
            QString error;
            if (!tcp.start(quint16(port), &error)) {
                printError(QStringLiteral("Nie mogę nasłuchiwać na porcie TCP %1 (kasa%2): %3")
                               .arg(port)
                               .arg(k + 1)
                               .arg(error));
                return 1; // the hosts already started stop as the list goes
            }
        }
        // The list before the addresses: whoever has read them finds the list complete.
        if (!fleetList.isEmpty() && !writeFleetList(fleetList, hosts, addresses.first())) {
            printError(QStringLiteral("Nie mogę zapisać listy kas do pliku ") + fleetList);
            return 1;
        }
        for (const emu::TcpHost& tcp : hosts)
            print(tcp.address());
        while (!g_quit)
            ::usleep(50'000);
        hosts.clear(); // stops every register thread before the state is saved
        return saveState();
    }
    if (tcpPort >= 0) {
        emu::TcpHost tcp(line, emu::LineTiming{baud}, rfc2217);
        QString error;
        // With a poor cable or TLS the register listens on a port of its own behind the proxy.
        if (!tcp.start(damage > 0 || tls ? 0 : quint16(tcpPort), &error)) {
            printError(QStringLiteral("Nie mogę nasłuchiwać na porcie TCP: ") + error);
            return 1;
        }
        emu::DamageProxy proxy(tcp.port(), damage, seed);
        if (damage > 0 && !proxy.start(quint16(tcpPort), &error)) {
            printError(QStringLiteral("Nie mogę nasłuchiwać na porcie TCP: ") + error);
            return 1;
        }
        emu::TlsFront front(tcp.port());
        if (tls && !front.load(tlsCert, tlsKey, &error)) {
            printError(QStringLiteral("Nie mogę wczytać certyfikatu TLS: ") + error);
            return 1;
        }
        if (tls && !front.start(quint16(tcpPort), &error)) {
            printError(QStringLiteral("Nie mogę nasłuchiwać na porcie TCP: ") + error);
            return 1;
        }
        const QString address = tls          ? front.address(rfc2217)
                                : damage > 0 ? proxy.address()
                                             : tcp.address();
        print(address);
        if (com > 0)
            print(QStringLiteral("export VDUNO_COM%1=%2").arg(com).arg(address));
        while (!g_quit)
            ::usleep(50'000);
        front.stop();
        proxy.stop();
        tcp.stop();
        return saveState();
    }
    emu::EmulatorHost host(line, emu::LineTiming{baud});
    if (vanishBack >= 0 || !linkPath.isEmpty())
        host.setComeBack(vanishBack, linkPath);
    QString error;
    if (!host.start(&error)) {
        printError(QStringLiteral("Nie mogę utworzyć pseudoterminala: ") + error);
        return 1;
    }
    print(host.devicePath());
    if (com > 0)
        print(QStringLiteral("export VDUNO_COM%1=%2").arg(com).arg(host.devicePath()));
    while (!g_quit && !(host.vanished() && !host.comesBack()))
        ::usleep(50'000);
    host.stop();
    return saveState();
}
