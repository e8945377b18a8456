// duno-emulator: a Vorn Duno register on a pseudo-terminal, or behind a TCP port.
#include "emulatorhost.h"
#include "registermodel.h"
#include "tcphost.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTextStream>

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
        "  --slow-ms MS            opóźnienie odpowiedzi przy --slow (domyślnie 1500)\n"
        "  --vanish-back MS        po --vanish urządzenie wraca po MS milisekundach\n"
        "  --link PATH             stała nazwa urządzenia (dowiązanie do pseudoterminala)\n"
        "  --tcp PORT              kasa pod adresem 127.0.0.1:PORT (jak serwer portów\n"
        "                          szeregowych) zamiast pseudoterminala\n"
        "  --rfc2217               z --tcp: telnet z opcją COM-PORT (RFC 2217)"));
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    emu::Model model = emu::Model::DunoBis;
    QList<int> addresses{1};
    int baud = 0, recordMs = 0, com = 0, tcpPort = -1;
    bool demo = false, rfc2217 = false;
    QString state, linkPath;
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
        } else if (opt == QLatin1String("--rfc2217")) {
            rfc2217 = true;
        } else if (opt == QLatin1String("--help")) {
            usage();
            return 0;
        } else {
            print(QStringLiteral("Nieznana opcja: ") + opt);
            usage();
            return 2;
        }
        if (!ok) {
            print(QStringLiteral("Błędna wartość opcji ") + opt);
            return 2;
        }
    }

    // One register for each address; with several, each keeps its state in a file of its own.
    std::list<emu::RegisterModel> registers;
    QList<emu::RegisterModel*> line;
    auto stateFile = [&](const emu::RegisterModel& reg) {
        return addresses.size() == 1 ? state : state + QStringLiteral(".%1").arg(reg.address());
    };
    for (int address : addresses) {
        emu::RegisterModel& reg = registers.emplace_back(model, address);
        line.append(&reg);
        const QString file = stateFile(reg);
        if (!state.isEmpty() && QFile::exists(file)) {
            if (!reg.load(file)) {
                print(QStringLiteral("Nie mogę wczytać stanu kasy z pliku ") + file);
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
        for (const emu::RegisterModel& reg : registers)
            if (!state.isEmpty() && !reg.save(stateFile(reg))) {
                print(QStringLiteral("Nie mogę zapisać stanu kasy do pliku ") + stateFile(reg));
                return 1;
            }
        return 0;
    };
    if (rfc2217 && tcpPort < 0) {
        print(QStringLiteral("Opcja --rfc2217 wymaga --tcp PORT"));
        return 2;
    }
    if (tcpPort >= 0) {
        emu::TcpHost tcp(line, emu::LineTiming{baud}, rfc2217);
        QString error;
        if (!tcp.start(quint16(tcpPort), &error)) {
            print(QStringLiteral("Nie mogę nasłuchiwać na porcie TCP: ") + error);
            return 1;
        }
        print(tcp.address());
        if (com > 0)
            print(QStringLiteral("export VDUNO_COM%1=%2").arg(com).arg(tcp.address()));
        while (!g_quit)
            ::usleep(50'000);
        tcp.stop();
        return saveState();
    }
    emu::EmulatorHost host(line, emu::LineTiming{baud});
    if (vanishBack >= 0 || !linkPath.isEmpty())
        host.setComeBack(vanishBack, linkPath);
    QString error;
    if (!host.start(&error)) {
        print(QStringLiteral("Nie mogę utworzyć pseudoterminala: ") + error);
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
