#pragma once

#include "common/transferrun.h"

#include <QStringList>

// One step of a whole-register run (one table), a run inside the whole run: questions, waits,
// the line-held wait and the stop are the whole run's. What the step's own logic says
// ("Pusta baza.", a table's closing line, a refusal) is kept for the run's summary instead of
// stopping the run with a message box, and its progress is put on the whole run's one
// progress.
class StageUi : public TransferRun {
public:
    // The step covers `weight` units of the run's `total`, starting at `offset`; with a total
    // of 0 it reports no progress at all.
    StageUi(TransferRun& run, int offset, int weight, int total);

    void showMessage(const QString& text, Icon icon = Icon::Information) override;
    void progress(int done, int total) override;

    // Marks the step done on the run's progress.
    void finish();

    QStringList messages;

private:
    TransferRun& m_run;
    int m_offset;
    int m_weight;
    int m_total;
};
