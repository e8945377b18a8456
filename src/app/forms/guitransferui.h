#pragma once

#include "common/progressestimate.h"
#include "common/transferui.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>

#include <memory>
#include <vector>

class QWidget;
class RunLock;

// The window's side of every transfer: message boxes over the main window, the event loop run
// between records, pauses that keep the window painted, the "Oczekiwanie na odpowiedź" wait
// while the register holds the line, and for each run its form locked, its "Anuluj" and
// Escape tied to it, and one progress display.
class GuiTransferUi : public TransferUi {
public:
    explicit GuiTransferUi(QWidget* parent = nullptr);
    ~GuiTransferUi() override;

    void showMessage(const QString& text, Icon icon = Icon::Information) override;
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo, Icon icon = Icon::Question,
               const QString& title = {}) override;
    // Outside a form's own panel: a progress window over the run's form with count, total,
    // time left and "Anuluj". It closes when the run ends, whatever the total was, and
    // before every message; a run that was asked to stop does not open it again.
    void progress(int done, int total) override;
    void processEvents() override;
    // What the program's link runs between the slices of a read's wait: the window repaints
    // and its timers run; clicks and keys are taken only while a run has locked its form
    // (its "Anuluj" and Escape then stop it), so that nothing else starts on the line in the
    // middle of a frame.
    void whileLineWaits();
    void waitMs(int ms) override;
    qint64 nowMs() const override { return m_clock.elapsed(); }
    bool waitForLine(const std::function<bool()>& lineClear) override;
    void runStarted(TransferRun& run) override;
    void runEnded(TransferRun& run) override;

    void setParent(QWidget* parent) { m_parent = parent; }

    // The progress window while one is shown, and the run going on (for tests).
    QProgressDialog* progressDialog() const { return m_progress; }
    TransferRun* currentRun() const;

private:
    struct ActiveRun;
    void closeProgress();

    QWidget* m_parent;
    QPointer<QProgressDialog> m_progress;
    ProgressEstimate m_estimate;
    QElapsedTimer m_clock;
    std::vector<std::unique_ptr<ActiveRun>> m_runs; // innermost last
};
