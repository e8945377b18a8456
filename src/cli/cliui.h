#pragma once

#include "common/progressestimate.h"
#include "common/transferui.h"

// The command line's side of a transfer: messages go to stderr, questions are answered
// from --yes (otherwise No), waits sleep in real time, progress (count, total, time left) is
// redrawn on stderr when it is a terminal (never in a log or a pipe, nor with --quiet),
// Ctrl+C requests a stop. On a register of a chain every line begins with the register's
// `prefix` and progress is a line every tenth of the run, since several registers share the
// terminal.
class CliUi : public TransferUi {
public:
    explicit CliUi(bool answerYes, const QString& prefix = {}, bool quiet = false);
    void showMessage(const QString& text, Icon icon = Icon::Information) override;
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo, Icon icon = Icon::Question,
               const QString& title = {}) override;
    void progress(int done, int total) override;
    void processEvents() override;
    void waitMs(int ms) override;
    qint64 nowMs() const override;
    bool stopRequested() const override;
    void runStarted(TransferRun& run) override;

    QStringList messages; // everything shown, for the subcommand's exit decision

private:
    bool m_answerYes;
    QString m_prefix;
    bool m_tty; // stderr is a terminal and progress is wanted
    ProgressEstimate m_estimate;
    int m_lastTenth = -1;
};
