#pragma once

#include "common/progressestimate.h"
#include "common/transferui.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>

class QWidget;

// The window's side of a transfer run: message boxes over the main window, the event loop
// run between records, pauses that keep the window painted, and a stop flag that the
// forms' cancel buttons set.
class GuiTransferUi : public TransferUi {
public:
    explicit GuiTransferUi(QWidget* parent = nullptr);

    void showMessage(const QString& text, Icon icon = Icon::Information) override;
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo,
               Icon icon = Icon::Question) override;
    // A progress window over the form that runs the transfer: count, total, time left and
    // "Anuluj", which asks the run to stop. It closes when the run is done, and before every
    // message, which is how runs end early.
    void progress(int done, int total) override;
    void processEvents() override;
    void waitMs(int ms) override;
    qint64 nowMs() const override { return m_clock.elapsed(); }
    bool stopRequested() const override { return m_stop; }

    void setStopRequested(bool stop) { m_stop = stop; }
    void setParent(QWidget* parent) { m_parent = parent; }

    // The progress window while one is shown (for tests).
    QProgressDialog* progressDialog() const { return m_progress; }

private:
    void closeProgress(bool runEnded);

    QWidget* m_parent;
    QPointer<QProgressDialog> m_progress;
    ProgressEstimate m_estimate;
    QElapsedTimer m_clock;
    bool m_stop = false;
    bool m_stoppedByProgress = false;
};
