#include "cliui.h"

#include "command.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t g_interrupted = 0;
void onInterrupt(int)
{
    g_interrupted = 1;
}

QElapsedTimer& runClock()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}
} // namespace

CliUi::CliUi(bool answerYes, const QString& prefix, bool quiet)
    : m_answerYes(answerYes), m_prefix(prefix), m_tty(!quiet && isatty(fileno(stderr)) != 0)
{
    std::signal(SIGINT, onInterrupt);
    runClock();
}

void CliUi::showMessage(const QString& text, Icon)
{
    messages << text;
    cli::err(text);
}

TransferUi::Answer CliUi::ask(const QString& text, Buttons, Icon, const QString&)
{
    messages << text;
    cli::err(text + (m_answerYes ? QStringLiteral(" [Tak]") : QStringLiteral(" [Nie]")));
    return m_answerYes ? Answer::Yes : Answer::No;
}

void CliUi::progress(int done, int total)
{
    if (!m_tty)
        return;
    m_estimate.update(done, total, nowMs());
    const QByteArray line = m_estimate.text().toUtf8();
    if (m_prefix.isEmpty()) {
        // Redrawn in place; the spaces wipe a longer line drawn before.
        std::fprintf(stderr, "\r%s     ", line.constData());
        if (total > 0 && done >= total)
            std::fputc('\n', stderr);
    } else {
        // A log or a pipe gets a line at every tenth of the run, not a line per record.
        const int tenth = total > 0 ? int(qint64(done) * 10 / total) : -1;
        if (tenth < 0 || tenth == m_lastTenth)
            return;
        m_lastTenth = tenth;
        cli::errRaw(m_prefix.toLocal8Bit() + line + '\n');
        return;
    }
    std::fflush(stderr);
}

void CliUi::processEvents()
{
    QCoreApplication::processEvents();
}

void CliUi::waitMs(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

qint64 CliUi::nowMs() const
{
    return runClock().elapsed();
}

bool CliUi::stopRequested() const
{
    return g_interrupted != 0;
}

void CliUi::runStarted(TransferRun&)
{
    // Each run gets its own time estimate and its own tenths on a log.
    m_estimate = ProgressEstimate();
    m_lastTenth = -1;
}
