#pragma once

#include "common/transferui.h"

#include <functional>

class QObject;

// One long run over the line: a table read, a send of many records, a download, a scan. The
// run is its own user interface: messages, questions, waits and the line-held wait go to the
// one it was started from, but the stop request is the run's own. It is clear when the run
// starts and goes with it, so a stop asked of one run can never reach the next one.
//
// Every long run opens one. A run opened inside another belongs to it: the outer run's stop
// stops it and its progress shows where the outer run's does.
class TransferRun : public TransferUi {
public:
    struct View {
        // The form the run belongs to (null: the form in front). While the run goes on the
        // window disables the form's controls but `cancel`, turns Escape into a stop request
        // and keeps the form from closing.
        QObject* form = nullptr;
        // The form's own "Anuluj" for this run; pressing it asks the run to stop.
        QObject* cancel = nullptr;
        // The form's own progress display (its panel's counter). With one, no progress window
        // is shown: a run has exactly one progress display.
        std::function<void(int done, int total)> progress;
    };

    explicit TransferRun(TransferUi& from);
    TransferRun(TransferUi& from, View view);
    ~TransferRun() override;
    TransferRun(const TransferRun&) = delete;
    TransferRun& operator=(const TransferRun&) = delete;

    void requestStop() { m_stop = true; }
    bool stopRequested() const override { return m_stop || m_from.stopRequested(); }
    const View& view() const { return m_view; }
    // The last progress reported: how far the run got.
    int done() const { return m_done; }
    int total() const { return m_total; }

    void showMessage(const QString& text, Icon icon = Icon::Information) override;
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo, Icon icon = Icon::Question,
               const QString& title = {}) override;
    void progress(int done, int total) override;
    void processEvents() override;
    void waitMs(int ms) override;
    qint64 nowMs() const override;
    bool waitForLine(const std::function<bool()>& lineClear) override;
    // A run opened inside this one is part of it: the window already knows this one.
    void runStarted(TransferRun&) override {}
    void runEnded(TransferRun&) override {}

private:
    TransferUi& m_from;
    View m_view;
    bool m_stop = false;
    int m_done = 0;
    int m_total = 0;
};

// What a person is told when a run ended before its end: "Przerwano. Odczytano 37 z 300."
// (the total left out when it was not known).
QString stoppedReadText(int done, int total);
QString stoppedSendText(int done, int total);
