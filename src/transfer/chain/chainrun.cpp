#include "chainrun.h"

#include "common/transferrun.h"
#include "link/answers.h"
#include "link/link.h"
#include "link/portscan.h"
#include "transfer/whole/stageui.h"

#include <QElapsedTimer>
#include <QHash>

namespace chain {

namespace {

// A register's run: the register's own user interface, with the chain's stop on top.
class RegisterRun : public TransferRun {
public:
    RegisterRun(TransferUi& from, const std::atomic<bool>& chainStop)
        : TransferRun(from), m_chainStop(chainStop)
    {
    }
    bool stopRequested() const override
    {
        return m_chainStop.load() || TransferRun::stopRequested();
    }

private:
    const std::atomic<bool>& m_chainStop;
};

QString quote(const QString& text)
{
    return QStringLiteral("„") + text + QStringLiteral("”");
}

} // namespace

QString modelText(int registerType)
{
    return registerType == 2   ? QStringLiteral("DUNO BIS")
           : registerType == 1 ? QStringLiteral("DUNO")
                               : QString();
}

ChainRun::ChainRun(QList<ChainRegister> registers, Job job, ChainOptions options)
    : m_registers(std::move(registers)), m_job(std::move(job)), m_options(std::move(options)),
      m_outcomes(m_registers.size())
{
}

ChainRun::~ChainRun()
{
    requestStop();
    wait();
}

QList<QList<int>> ChainRun::lines(const QList<ChainRegister>& registers)
{
    QList<QList<int>> lines;
    QHash<QString, qsizetype> lineOf;
    for (int i = 0; i < registers.size(); ++i) {
        const QString key = registers.at(i).lineKey();
        const auto found = lineOf.constFind(key);
        if (found == lineOf.constEnd()) {
            lineOf.insert(key, lines.size());
            lines.append(QList<int>{i});
        } else {
            lines[*found].append(i);
        }
    }
    return lines;
}

void ChainRun::start()
{
    const QList<QList<int>> all = lines(m_registers);
    m_threads.reserve(size_t(all.size()));
    for (const QList<int>& line : all)
        m_threads.emplace_back([this, line] { runLine(line); });
}

void ChainRun::wait()
{
    for (std::thread& t : m_threads)
        if (t.joinable())
            t.join();
    m_threads.clear();
}

QList<RegisterOutcome> ChainRun::run()
{
    start();
    wait();
    return outcomes();
}

QList<RegisterOutcome> ChainRun::outcomes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_outcomes;
}

void ChainRun::setOutcome(int index, const RegisterOutcome& outcome)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_outcomes[index] = outcome;
    }
    if (m_options.finished && outcome.state != RegisterOutcome::State::Running)
        m_options.finished(index, outcome);
}

void ChainRun::runLine(const QList<int>& indices)
{
    for (int index : indices)
        runRegister(index);
}

void ChainRun::runRegister(int index)
{
    RegisterOutcome outcome;
    const int same = sameRegisterAs(m_registers, index);
    if (same >= 0) {
        outcome.state = RegisterOutcome::State::Skipped;
        outcome.result = QStringLiteral("Ta sama kasa (port i adres) co ") +
                         quote(m_registers.at(same).name) + QStringLiteral(": pominięto.");
        setOutcome(index, outcome);
        return;
    }
    TransferUi& own = m_options.ui(index);
    if (m_stop || own.stopRequested()) {
        outcome.state = RegisterOutcome::State::Skipped;
        outcome.result = QStringLiteral("Przerwano przed rozpoczęciem.");
        setOutcome(index, outcome);
        return;
    }
    if (const QString why = m_options.precheck ? m_options.precheck(index) : QString();
        !why.isEmpty()) {
        outcome.state = RegisterOutcome::State::Failed;
        outcome.result = why;
        setOutcome(index, outcome);
        return;
    }
    outcome.state = RegisterOutcome::State::Running;
    setOutcome(index, outcome);
    if (m_options.started)
        m_options.started(index);

    QElapsedTimer clock;
    clock.start();
    const ChainRegister& reg = m_registers.at(index);
    RegisterRun run(own, m_stop);
    Link link;
    link.device = reg.device;
    link.tls = reg.tls;
    link.port = portscan::NetworkPort; // a number the link accepts; the device is its own
    link.address = quint8(reg.address);
    link.line.baud = m_options.baud;
    link.fastTransfers = m_options.fastTransfers;
    if (m_options.prepareLink)
        m_options.prepareLink(index, link);

    // Opening the line and asking the model say nothing on their own: what went wrong is the
    // register's result.
    StageUi quiet(run, 0, 0, 0);
    if (link.openPort(quiet, true) != 0) {
        outcome.state = RegisterOutcome::State::Failed;
        // One line in the run's table, whatever lines the reason has (a certificate's).
        outcome.result = quiet.messages.isEmpty()
                             ? QStringLiteral("Nie mogę otworzyć portu ") + reg.port
                             : QString(quiet.messages.last()).replace(u'\n', u' ');
    } else if ((outcome.registerType = answers::detectRegisterType(link, quiet)) == 0) {
        outcome.state = RegisterOutcome::State::Failed;
        outcome.result = run.stopRequested() ? QStringLiteral("Przerwano.")
                                             : QStringLiteral("Kasa nie odpowiada.");
    } else {
        const JobResult job = m_job(index, link, run, outcome.registerType);
        outcome.state = job.ok ? RegisterOutcome::State::Done : RegisterOutcome::State::Failed;
        outcome.result = !job.result.isEmpty() ? job.result
                         : job.ok              ? QStringLiteral("OK")
                                               : QStringLiteral("Błąd");
        outcome.counts = job.counts;
        outcome.resume = job.resume;
    }
    link.closePort();
    outcome.ms = clock.elapsed();
    setOutcome(index, outcome);
}

} // namespace chain
