#include "chain.h"

#include "cliui.h"
#include "commandrun.h"

#include "link/frametrace.h"
#include "link/link.h"
#include "transfer/chain/chainrun.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>
#include <mutex>
#include <vector>

namespace cli {

namespace {

using chain::ChainRegister;
using chain::RegisterOutcome;

// The commands that make sense on every register of a chain.
const QStringList ChainCommands{QStringLiteral("info"),   QStringLiteral("probe"),
                                QStringLiteral("backup"), QStringLiteral("restore"),
                                QStringLiteral("send"),   QStringLiteral("compare"),
                                QStringLiteral("sales"),  QStringLiteral("clock"),
                                QStringLiteral("report"), QStringLiteral("turnover")};

// The commands whose first argument is the database file; on a chain it may be left out and
// is then the register's own from the list.
bool takesDatabase(const QString& command)
{
    return command == QLatin1String("restore") || command == QLatin1String("send") ||
           command == QLatin1String("compare");
}

bool namesDatabase(const CliArgs& args)
{
    if (args.positional.isEmpty())
        return false;
    const QString first = args.positional.first();
    return first.endsWith(QLatin1String(".vkf"), Qt::CaseInsensitive) || QFileInfo(first).isFile();
}

// "sprzedaz.csv" for register "rynek-1" gives "sprzedaz-rynek-1.csv".
QString withName(const QString& path, const QString& name)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    const QString named =
        QFileInfo(chain::defaultDatabase(name, QStringLiteral("/"))).completeBaseName();
    return stem + QLatin1Char('-') + named + (suffix.isEmpty() ? QString() : u'.' + suffix);
}

QString seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000.0, 'f', 1).replace(u'.', u',') + QStringLiteral(" s");
}

struct RegisterWork {
    CliArgs args;         // the command's arguments for this register
    QString backupTarget; // backup: the file it writes
    QString problem;      // why it cannot run
    std::unique_ptr<CliUi> ui;
    OutputCapture capture;
    CliReport report;
    int exit = ExitOk;
    bool ran = false; // the register answered and was given the command
};

// Each register's arguments: the database from the list where the command takes one and
// none was given, the backup file and the sales CSV named after the register.
void prepare(const QString& name, const CliArgs& args, const QList<ChainRegister>& registers,
             std::vector<RegisterWork>& work)
{
    for (int i = 0; i < registers.size(); ++i) {
        const ChainRegister& reg = registers.at(i);
        RegisterWork& w = work[size_t(i)];
        w.args = args;
        if (takesDatabase(name) && !namesDatabase(args))
            w.args.positional.prepend(reg.database);
        if (name == QLatin1String("backup") && args.positional.size() <= 1) {
            // Into the register's own database, or into a directory given.
            w.backupTarget = args.positional.isEmpty()
                                 ? reg.database
                                 : chain::defaultDatabase(reg.name, args.positional.first());
            w.args.positional = QStringList{w.backupTarget};
        }
        if (name == QLatin1String("sales") && !args.value(QStringLiteral("csv")).isEmpty())
            w.args.set(QStringLiteral("csv"),
                       withName(args.value(QStringLiteral("csv")), reg.name));
    }
    // A backup never writes over another register's copy: registers whose files would be
    // the same one run none of them.
    QHash<QString, int> first;
    for (int i = 0; i < registers.size(); ++i) {
        const QString target = work[size_t(i)].backupTarget;
        if (target.isEmpty())
            continue;
        const auto seen = first.constFind(target);
        if (seen == first.constEnd()) {
            first.insert(target, i);
            continue;
        }
        for (int k : {*seen, i})
            work[size_t(k)].problem = QStringLiteral("Ten sam plik kopii ") +
                                      QFileInfo(target).fileName() + QStringLiteral(" co kasa „") +
                                      registers.at(k == i ? *seen : i).name +
                                      QStringLiteral("”; nie zapisano.");
    }
}

// The closing table, its columns as wide as their widest entry.
void printTable(const QList<ChainRegister>& registers, const QList<RegisterOutcome>& outcomes)
{
    QList<QStringList> rows{{QStringLiteral("Kasa"), QStringLiteral("Model"),
                             QStringLiteral("Wynik"), QStringLiteral("Rekordy"),
                             QStringLiteral("Czas"), QStringLiteral("Wznowienie")}};
    for (int i = 0; i < registers.size(); ++i) {
        const RegisterOutcome& o = outcomes.at(i);
        rows.append({registers.at(i).name, chain::modelText(o.registerType), o.result, o.counts,
                     o.state == RegisterOutcome::State::Skipped ? QString() : seconds(o.ms),
                     o.resume.isEmpty() ? QString() : QStringLiteral("--resume ") + o.resume});
    }
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row.at(c).size());
    out(QString());
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row.at(c).leftJustified(widths[c] + 2) : row.at(c);
        while (line.endsWith(u' '))
            line.chop(1);
        out(line);
    }
}

} // namespace

int runOnChain(const CliCommand& command, const CliArgs& args, CliContext& context)
{
    const QString name = QString::fromUtf8(command.name);
    if (!ChainCommands.contains(name)) {
        err(QStringLiteral("Polecenie ") + name +
            QStringLiteral(" nie działa z --registers. Działają: ") +
            ChainCommands.join(QStringLiteral(", ")) + QLatin1Char('.'));
        return ExitUsage;
    }
    if (name == QLatin1String("restore") &&
        (args.isSet(QStringLiteral("addresses")) || args.isSet(QStringLiteral("scan"))))
        return usage(context, QStringLiteral("Z --registers kasy i ich adresy podaje lista; "
                                             "--addresses i --scan nie działają."));
    if (context.emulator || !context.device.isEmpty() || context.port > 0)
        return usage(context, QStringLiteral("Z --registers porty i adresy kas podaje lista; "
                                             "--device, --port i --emulator nie działają."));
    const chain::RegisterList list = chain::loadRegisterList(context.registers);
    if (!list.ok()) {
        for (const QString& e : list.errors)
            err(e);
        err(QStringLiteral("Lista kas zawiera błędy; nic nie uruchomiono."));
        return ExitUsage;
    }
    QList<ChainRegister> registers = list.registers;
    if (!context.only.isEmpty()) {
        QString error;
        registers = chain::onlyNamed(registers, context.only, &error);
        if (registers.isEmpty()) {
            err(error);
            return ExitUsage;
        }
    }

    std::vector<RegisterWork> work(size_t(registers.size()));
    prepare(name, args, registers, work);
    for (int i = 0; i < registers.size(); ++i) {
        RegisterWork& w = work[size_t(i)];
        w.capture.prefix = QLatin1Char('[') + registers.at(i).name + QStringLiteral("] ");
        w.ui = std::make_unique<CliUi>(context.yes, w.capture.prefix);
    }

    std::mutex printing;
    chain::ChainOptions options;
    options.baud = quint32(context.baud);
    options.fastTransfers = context.fast;
    options.ui = [&](int i) -> TransferUi& { return *work[size_t(i)].ui; };
    options.precheck = [&](int i) { return work[size_t(i)].problem; };
    options.prepareLink = [&](int i, Link& link) {
        if (context.trace.isEmpty())
            return;
        FrameTrace trace;
        QString error;
        if (trace.open(withName(context.trace, registers.at(i).name), &error))
            link.trace = trace.hook([](const QString& message) { err(message); });
        else
            work[size_t(i)].ui->showMessage(error, TransferUi::Icon::Error);
    };
    // The register's thread prints behind its name from its start to its end.
    options.started = [&](int i) { captureOutput(&work[size_t(i)].capture); };
    options.finished = [&](int i, const RegisterOutcome& o) {
        captureOutput(nullptr);
        if (context.json)
            return;
        const RegisterWork& w = work[size_t(i)];
        std::lock_guard<std::mutex> lock(printing);
        out(QStringLiteral("== ") + registers.at(i).name + QStringLiteral(" (") +
            registers.at(i).title() + QStringLiteral(")"));
        for (const QString& line : w.capture.lines)
            out(line);
        if (o.state != RegisterOutcome::State::Done && w.capture.lines.isEmpty())
            out(o.result);
    };
    const bool programs = name == QLatin1String("restore") || name == QLatin1String("send");
    const chain::Job job = [&](int i, Link& link, TransferUi&, int registerType) {
        RegisterWork& w = work[size_t(i)];
        w.ran = true;
        if (programs && !namesDatabase(args))
            if (const QString wrong = chain::wrongModel(registers.at(i), registerType);
                !wrong.isEmpty())
                return chain::JobResult{false, wrong, {}, {}};
        CliContext own = context;
        own.link = &link;
        own.report = &w.report;
        own.ui = w.ui.get();
        own.address = registers.at(i).address;
        own.device = registers.at(i).device;
        w.exit = runCommand(command, w.args, own);
        chain::JobResult r;
        r.ok = w.exit == ExitOk;
        r.result = !w.report.result.isEmpty() ? w.report.result
                   : r.ok                     ? QString()
                                              : w.capture.lastError;
        r.counts = w.report.counts;
        r.resume = w.report.resume;
        return r;
    };
    chain::ChainRun run(registers, job, options);
    const QList<RegisterOutcome> outcomes = run.run();

    bool allOk = true, misused = false, noneAnswered = true;
    for (int i = 0; i < registers.size(); ++i) {
        allOk = allOk && outcomes.at(i).ok();
        misused = misused || work[size_t(i)].exit == ExitUsage;
        // A register the chain found silent or could not open never ran the command.
        const RegisterWork& w = work[size_t(i)];
        noneAnswered = noneAnswered && !outcomes.at(i).ok() &&
                       (w.exit == ExitNoRegister ||
                        (!w.ran && outcomes.at(i).state == RegisterOutcome::State::Failed));
    }
    if (context.json) {
        QJsonArray rows;
        for (int i = 0; i < registers.size(); ++i) {
            const ChainRegister& reg = registers.at(i);
            const RegisterOutcome& o = outcomes.at(i);
            const RegisterWork& w = work[size_t(i)];
            QJsonObject row{
                {QStringLiteral("name"), reg.name},
                {QStringLiteral("port"), reg.port},
                {QStringLiteral("address"), reg.address},
                {QStringLiteral("model"), chain::modelText(o.registerType)},
                {QStringLiteral("ok"), o.ok()},
                {QStringLiteral("result"), o.result},
                {QStringLiteral("counts"), o.counts},
                {QStringLiteral("seconds"), double(o.ms) / 1000.0},
                {QStringLiteral("resume"), o.resume},
                {QStringLiteral("output"), QJsonArray::fromStringList(w.capture.lines)}};
            // The document the command gives on one register, the same here.
            row.insert(QStringLiteral("data"),
                       w.capture.json.isEmpty() ? resultDocument(name, w.exit, w.capture)
                                                : QJsonDocument::fromJson(w.capture.json).object());
            rows.append(row);
        }
        outJson(QJsonDocument(QJsonObject{{QStringLiteral("command"), name},
                                          {QStringLiteral("ok"), allOk},
                                          {QStringLiteral("registers"), rows}}));
    } else {
        printTable(registers, outcomes);
    }
    // Every register failed without an answer: as a single register's run that met none.
    return allOk ? ExitOk : misused ? ExitUsage : noneAnswered ? ExitNoRegister : ExitFailure;
}

} // namespace cli
