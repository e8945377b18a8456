#pragma once

#include "common/transferui.h"

#include <QStringList>

// One step of a whole-register run (one table). The step's own logic talks to it as to any
// user interface: its messages ("Pusta baza.", a table's closing line, a refusal) are kept
// for the run's summary instead of stopping the run with a message box; its progress is put
// on the whole run's single progress; questions, waits, the line-held wait and the stop go
// to the run.
class StageUi : public TransferUi {
public:
    // The step covers `weight` units of the run's `total`, starting at `offset`; with a total
    // of 0 it reports no progress at all.
    StageUi(TransferUi& run, int offset, int weight, int total);

    void showMessage(const QString& text, Icon icon = Icon::Information) override;
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo, Icon icon = Icon::Question,
               const QString& title = {}) override;
    void progress(int done, int total) override;
    void processEvents() override;
    void waitMs(int ms) override;
    qint64 nowMs() const override;
    bool stopRequested() const override;
    bool waitForLine(const std::function<bool()>& lineClear) override;
    // The whole run is already known to the window: a step's own runs are part of it.
    void runStarted(TransferRun&) override {}
    void runEnded(TransferRun&) override {}

    // Marks the step done on the run's progress.
    void finish();

    QStringList messages;

private:
    TransferUi& m_run;
    int m_offset;
    int m_weight;
    int m_total;
};
