#pragma once

#include "common/progressestimate.h"
#include "common/transferui.h"

// The command line's side of a transfer: messages go to stderr, questions are answered
// from --yes (otherwise No), waits sleep in real time, progress (count, total, time left) is
// redrawn on stderr when it is a terminal and logged every tenth of the run otherwise, Ctrl+C
// requests a stop.
class CliUi : public TransferUi {
public:
    explicit CliUi(bool answerYes);
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
    bool m_tty;
    ProgressEstimate m_estimate;
    int m_lastTenth = -1;
};
