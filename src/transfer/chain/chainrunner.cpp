#include "chainrunner.h"

#include <QCoreApplication>
#include <QThread>

ChainRunner::ChainRunner(QList<chain::ChainRegister> registers, ChainRegisterUi::Asker asker,
                         QObject* parent)
    : QObject(parent), m_registers(std::move(registers))
{
    for (int i = 0; i < m_registers.size(); ++i) {
        auto ui = std::make_unique<ChainRegisterUi>(i, m_questions, asker);
        // Emitted on the register's thread, delivered in this one.
        connect(ui.get(), &ChainRegisterUi::started, this, &ChainRunner::started,
                Qt::QueuedConnection);
        connect(ui.get(), &ChainRegisterUi::progressed, this, &ChainRunner::progressed,
                Qt::QueuedConnection);
        connect(ui.get(), &ChainRegisterUi::messaged, this, &ChainRunner::messaged,
                Qt::QueuedConnection);
        connect(ui.get(), &ChainRegisterUi::detailed, this, &ChainRunner::detailed,
                Qt::QueuedConnection);
        connect(ui.get(), &ChainRegisterUi::finished, this, &ChainRunner::finished,
                Qt::QueuedConnection);
        m_uis.push_back(std::move(ui));
    }
}

ChainRunner::~ChainRunner()
{
    if (!m_thread.joinable())
        return;
    blockSignals(true);
    for (const auto& ui : m_uis)
        ui->close();
    requestStop();
    // A register may be waiting for its question to be put in this thread: serve the queue
    // until the run has ended, rather than wait for a thread that waits for us.
    while (!m_done) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    m_thread.join();
}

chain::Details ChainRunner::details()
{
    return [this](int index, const QStringList& lines) {
        emit m_uis[size_t(index)]->detailed(index, lines);
    };
}

void ChainRunner::start(const chain::ChainJob& job, bool fastTransfers)
{
    chain::ChainOptions options;
    options.fastTransfers = fastTransfers;
    options.ui = [this](int i) -> TransferUi& { return *m_uis[size_t(i)]; };
    options.precheck = job.precheck;
    options.started = [this](int i) { emit m_uis[size_t(i)]->started(i); };
    options.finished = [this](int i, const chain::RegisterOutcome& outcome) {
        emit m_uis[size_t(i)]->finished(i, outcome);
    };
    m_run = std::make_unique<chain::ChainRun>(m_registers, job.run, options);
    m_done = false;
    m_thread = std::thread([this] {
        m_run->run();
        m_done = true;
        // Queued behind every notice the registers' threads sent before they ended.
        QMetaObject::invokeMethod(
            this, [this] { end(); }, Qt::QueuedConnection);
    });
}

void ChainRunner::requestStop()
{
    for (const auto& ui : m_uis)
        ui->requestStop();
    if (m_run)
        m_run->requestStop();
}

QList<chain::RegisterOutcome> ChainRunner::outcomes() const
{
    return m_run ? m_run->outcomes() : QList<chain::RegisterOutcome>(m_registers.size());
}

void ChainRunner::end()
{
    if (m_thread.joinable())
        m_thread.join();
    emit ended();
}
