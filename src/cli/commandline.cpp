#include "commandline.h"

#include "parsermessages.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cstdio>

#ifndef VDUNO_VERSION
#define VDUNO_VERSION "0"
#endif

namespace cli {

namespace {

constexpr int OptionColumn = 26;

const QString CompletionOption = QStringLiteral("completion");

QStringList namesOf(const CliOption& option)
{
    return QString::fromUtf8(option.names).split(u',');
}

QString longName(const CliOption& option)
{
    return namesOf(option).last();
}

QCommandLineOption parserOption(const CliOption& option)
{
    if (option.valueName)
        return QCommandLineOption(namesOf(option), QString::fromUtf8(option.description),
                                  QString::fromUtf8(option.valueName));
    return QCommandLineOption(namesOf(option), QString::fromUtf8(option.description));
}

// "-y, --yes" or "    --resume KROK:REKORD", as the help shows an option.
QString optionLabel(const CliOption& option)
{
    QStringList shown;
    for (const QString& n : namesOf(option))
        shown << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    QString label = shown.join(QStringLiteral(", "));
    if (shown.size() == 1)
        label.prepend(QStringLiteral("    ")); // long names in one column under "-y, "
    if (option.valueName)
        label += u' ' + QString::fromUtf8(option.valueName);
    return label;
}

void appendOptions(QStringList& lines, const std::vector<CliOption>& options)
{
    for (const CliOption& o : options) {
        const QString label = QStringLiteral("  ") + optionLabel(o);
        const QString text = QString::fromUtf8(o.description);
        if (label.size() + 2 > OptionColumn)
            lines << label << QString(OptionColumn, u' ') + text;
        else
            lines << label.leftJustified(OptionColumn) + text;
    }
}

const CliOption* findShared(const QString& name)
{
    for (const OptionSection& s : sharedOptions())
        for (const CliOption& o : s.options)
            if (namesOf(o).contains(name))
                return &o;
    return nullptr;
}

// Where the subcommand stands: the first argument that is neither an option nor the value
// of a shared option. -1 when there is none.
qsizetype commandIndex(const QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--"))
            return i + 1 < arguments.size() ? i + 1 : -1;
        if (a.size() < 2 || !a.startsWith(u'-'))
            return i;
        if (!a.startsWith(QLatin1String("--")) || a.contains(u'='))
            continue;
        const CliOption* o = findShared(a.mid(2));
        if ((o && o->valueName) || a.mid(2) == CompletionOption)
            ++i; // its value
    }
    return -1;
}

int editDistance(const QString& a, const QString& b)
{
    std::vector<int> row(size_t(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[size_t(j)];
            row[size_t(j)] = std::min({above + 1, row[size_t(j) - 1] + 1,
                                       diagonal + (a.at(i - 1) == b.at(j - 1) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

int usageError(const QString& problem, const CliCommand* command)
{
    err(problem);
    err(command ? QStringLiteral("Więcej: vduno ") + QString::fromUtf8(command->name) +
                      QStringLiteral(" --help")
                : QStringLiteral("Więcej: vduno --help"));
    return ExitUsage;
}

void printLines(const QStringList& lines)
{
    for (const QString& l : lines)
        out(l);
}

// A number option's value within its bounds.
bool numberOption(const QCommandLineParser& parser, const QString& name, int low, int high,
                  int& into)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int v = parser.value(name).toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    into = v;
    return true;
}

// The shared options into the context. False (after telling why) on a wrong value.
bool takeShared(const QCommandLineParser& parser, CliContext& context, const CliCommand* command)
{
    auto wrong = [&](const QString& name) {
        usageError(QStringLiteral("Błędna wartość opcji --") + name + QStringLiteral(": ") +
                       parser.value(name),
                   command);
        return false;
    };
    if (!numberOption(parser, QStringLiteral("port"), 1, 99, context.port))
        return wrong(QStringLiteral("port"));
    if (!numberOption(parser, QStringLiteral("baud"), 1, 4000000, context.baud))
        return wrong(QStringLiteral("baud"));
    if (!numberOption(parser, QStringLiteral("address"), 1, 9, context.address))
        return wrong(QStringLiteral("address"));
    if (parser.isSet(QStringLiteral("emulator-model"))) {
        context.emulatorModel = parser.value(QStringLiteral("emulator-model"));
        if (context.emulatorModel != QLatin1String("duno") &&
            context.emulatorModel != QLatin1String("duno-bis"))
            return wrong(QStringLiteral("emulator-model"));
    }
    for (const QString& name :
         {QStringLiteral("registers"), QStringLiteral("only"), QStringLiteral("device"),
          QStringLiteral("trace"), QStringLiteral("tls-ca"), QStringLiteral("tls-pin")})
        if (parser.isSet(name) && parser.value(name).isEmpty())
            return wrong(name);
    if (parser.isSet(QStringLiteral("device")))
        context.device = parser.value(QStringLiteral("device"));
    if (parser.isSet(QStringLiteral("trace")))
        context.trace = parser.value(QStringLiteral("trace"));
    if (parser.isSet(QStringLiteral("tls-ca")))
        context.tlsCa = parser.value(QStringLiteral("tls-ca"));
    if (parser.isSet(QStringLiteral("tls-pin")))
        context.tlsPin = parser.value(QStringLiteral("tls-pin"));
    if (parser.isSet(QStringLiteral("registers")))
        context.registers = parser.value(QStringLiteral("registers"));
    if (parser.isSet(QStringLiteral("only")))
        context.only = parser.value(QStringLiteral("only"));
    context.emulator = context.emulator || parser.isSet(QStringLiteral("emulator"));
    context.fast = context.fast || parser.isSet(QStringLiteral("fast"));
    context.yes = context.yes || parser.isSet(QStringLiteral("yes"));
    context.json = context.json || parser.isSet(QStringLiteral("json"));
    context.quiet = context.quiet || parser.isSet(QStringLiteral("quiet"));
    return true;
}

} // namespace

const std::vector<OptionSection>& sharedOptions()
{
    static const std::vector<OptionSection> sections{
        {"Opcje łącza",
         {
             {"device", "ŚCIEŻKA",
              "urządzenie szeregowe (/dev/ttyUSB0) albo serwer portów: tcp://HOST:PORT, "
              "rfc2217://HOST:PORT, tls://HOST:PORT, rfc2217+tls://HOST:PORT"},
             {"port", "N", "numer portu COM 1..99"},
             {"baud", "B", "prędkość (domyślnie 115200)"},
             {"address", "A", "adres kasy 1..9 (domyślnie 1)"},
             {"emulator", nullptr, "wbudowany emulator kasy zamiast prawdziwej kasy"},
             {"emulator-model", "MODEL", "duno | duno-bis (domyślnie duno-bis)"},
             {"fast", nullptr, "szybkie transmisje (bez przerw, na które kasa nie czeka)"},
             {"trace", "PLIK", "zapis ramek do pliku"},
             {"tls-ca", "PLIK",
              "tls:// i rfc2217+tls://: certyfikat serwera albo jego CA (zamiast systemowych)"},
             {"tls-pin", "ODCISK", "tls:// i rfc2217+tls://: odcisk SHA-256 certyfikatu serwera"},
         }},
        {"Lista kas",
         {
             {"registers", "PLIK",
              "polecenie na każdej kasie z listy (kasy na różnych liniach jednocześnie)"},
             {"only", "NAZWY", "z --registers: tylko kasy o tych nazwach (a,b)"},
         }},
        {"Odpowiedzi i wyjście",
         {
             {"y,yes", nullptr, "odpowiada Tak na każde pytanie"},
             {"json", nullptr, "wynik jako jeden dokument JSON na standardowym wyjściu"},
             {"q,quiet", nullptr, "bez postępu na standardowym wyjściu błędów"},
             {"h,help", nullptr, "pomoc: ogólna albo polecenia"},
             {"version", nullptr, "wersja programu"},
         }},
    };
    return sections;
}

const CliCommand* nearestCommand(const QString& name)
{
    const CliCommand* best = nullptr;
    int bestDistance = 0;
    for (const CliCommand& c : CommandRegistry::all()) {
        const QString candidate = QString::fromUtf8(c.name);
        // A beginning that only one command has is as good as a near miss.
        const int d =
            candidate.startsWith(name) && name.size() >= 3 ? 1 : editDistance(name, candidate);
        if (!best || d < bestDistance) {
            best = &c;
            bestDistance = d;
        }
    }
    const int allowed = std::max<int>(2, int(name.size()) / 3);
    return best && bestDistance <= allowed ? best : nullptr;
}

QStringList generalHelp()
{
    QStringList lines{
        QStringLiteral("Użycie: vduno [opcje] POLECENIE [argumenty] [opcje]"),
        QStringLiteral("Program serwisowy kas Vorn DUNO i DUNO BIS z wiersza poleceń."),
    };
    static const std::vector<std::pair<CommandGroup, const char*>> groups{
        {CommandGroup::Register, "Kasa"},
        {CommandGroup::Database, "Baza i programowanie kasy"},
        {CommandGroup::Reports, "Raporty i sprzedaż"},
        {CommandGroup::Files, "Pliki"},
    };
    std::vector<const CliCommand*> commands;
    qsizetype width = 0;
    for (const CliCommand& c : CommandRegistry::all()) {
        commands.push_back(&c);
        width = std::max(width, qsizetype(qstrlen(c.name)));
    }
    std::sort(commands.begin(), commands.end(), [](const CliCommand* a, const CliCommand* b) {
        return qstrcmp(a->name, b->name) < 0;
    });
    for (const auto& [group, title] : groups) {
        lines << QString() << QString::fromUtf8(title) + u':';
        for (const CliCommand* c : commands)
            if (c->group == group)
                lines << QStringLiteral("  ") +
                             QString::fromUtf8(c->name).leftJustified(width + 2) +
                             QString::fromUtf8(c->summary);
    }
    for (const OptionSection& s : sharedOptions()) {
        lines << QString() << QString::fromUtf8(s.title) + u':';
        appendOptions(lines, s.options);
    }
    lines << QString()
          << QStringLiteral("Opcje stoją przed poleceniem, po nim albo między jego argumentami;")
          << QStringLiteral("--opcja=wartość i --opcja wartość to to samo; -- kończy opcje.")
          << QStringLiteral("Pomoc polecenia: vduno POLECENIE --help albo vduno help POLECENIE.")
          << QString() << QStringLiteral("Kod wyjścia:") << QStringLiteral("  0  wykonano")
          << QStringLiteral("  1  nie udało się; dla compare, diff i --verify: są różnice")
          << QStringLiteral("  2  błędne użycie")
          << QStringLiteral("  3  port się nie otworzył albo jest zajęty, albo kasa nie odpowiada")
          << QStringLiteral("Wyniki idą na standardowe wyjście, komunikaty i postęp (tylko na "
                            "terminalu) na standardowe wyjście błędów.");
    return lines;
}

QStringList commandHelp(const CliCommand& command)
{
    QStringList lines{cli::usageLine(command), QString::fromUtf8(command.summary) + u'.'};
    lines[1].replace(0, 1, lines[1].at(0).toUpper());
    if (!command.options.empty()) {
        lines << QString() << QStringLiteral("Opcje polecenia:");
        appendOptions(lines, command.options);
    }
    if (command.details)
        lines << QString() << command.details();
    if (!command.examples.empty()) {
        lines << QString() << QStringLiteral("Przykłady:");
        for (const char* e : command.examples)
            lines << QStringLiteral("  vduno ") + QString::fromUtf8(e);
    }
    lines << QString()
          << QStringLiteral("Opcje łącza, listy kas i wyjścia (--device, --port, --yes, --json, "
                            "--quiet, ...) oraz kody wyjścia: vduno --help");
    return lines;
}

ParsedLine parseCommandLine(const QStringList& arguments, CliContext& context)
{
    ParsedLine result;
    ParserMessages::install();
    QStringList rest = arguments;
    const qsizetype at = commandIndex(rest);
    QString name = at >= 0 ? rest.takeAt(at) : QString();
    bool helpCommand = false;
    if (name == QLatin1String("help")) {
        // "vduno help restore" is "vduno restore --help".
        helpCommand = true;
        const qsizetype next = commandIndex(rest);
        name = next >= 0 ? rest.takeAt(next) : QString();
    }
    const CliCommand* command = nullptr;
    if (!name.isEmpty()) {
        command = CommandRegistry::find(name);
        if (!command) {
            QString text = QStringLiteral("Nieznane polecenie „") + name + QStringLiteral("”.");
            if (const CliCommand* near = nearestCommand(name))
                text += QStringLiteral(" Czy chodziło o „") + QString::fromUtf8(near->name) +
                        QStringLiteral("”?");
            usageError(text, nullptr);
            return result;
        }
    }
    context.command = command;

    QCommandLineParser parser;
    for (const OptionSection& s : sharedOptions())
        for (const CliOption& o : s.options)
            parser.addOption(parserOption(o));
    QCommandLineOption completion(CompletionOption, QString(), QStringLiteral("SHELL"));
    completion.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(completion);
    if (command)
        for (const CliOption& o : command->options)
            parser.addOption(parserOption(o));
    if (!parser.parse(QStringList{QStringLiteral("vduno")} + rest)) {
        QStringList unknown;
        for (const QString& n : parser.unknownOptionNames())
            unknown << (n.size() == 1 ? QStringLiteral("„-") : QStringLiteral("„--")) + n +
                           QStringLiteral("”");
        usageError(unknown.isEmpty() ? parser.errorText()
                   : unknown.size() == 1
                       ? QStringLiteral("Nieznana opcja ") + unknown.first() + u'.'
                       : QStringLiteral("Nieznane opcje: ") + unknown.join(QStringLiteral(", ")) +
                             u'.',
                   command);
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out(QStringLiteral("vduno " VDUNO_VERSION));
        result.kind = ParsedLine::Kind::Done;
        return result;
    }
    if (parser.isSet(CompletionOption)) {
        const QString script = completionScript(parser.value(CompletionOption));
        if (script.isEmpty()) {
            usageError(QStringLiteral("Nieznana powłoka: ") + parser.value(CompletionOption) +
                           QStringLiteral(" (bash, zsh, fish)"),
                       nullptr);
            return result;
        }
        std::fputs(script.toUtf8().constData(), stdout);
        result.kind = ParsedLine::Kind::Done;
        return result;
    }
    if (helpCommand || parser.isSet(QStringLiteral("help"))) {
        printLines(command ? commandHelp(*command) : generalHelp());
        result.kind = ParsedLine::Kind::Done;
        return result;
    }
    if (!command) {
        // No command: the help, but as a usage error (nothing on stdout).
        for (const QString& l : generalHelp())
            err(l);
        return result;
    }
    if (!takeShared(parser, context, command))
        return result;
    result.args.positional = parser.positionalArguments();
    for (const CliOption& o : command->options) {
        const QString n = longName(o);
        if (parser.isSet(n))
            result.args.set(n, o.valueName ? parser.value(n) : QStringLiteral(""));
    }
    result.command = command;
    result.kind = ParsedLine::Kind::Run;
    return result;
}

} // namespace cli
