#pragma once

#include "common/transferui.h"

#include <QList>
#include <QStringList>

// Records every message and question, answers questions from a script (No when the script
// runs out) and keeps a fake clock that waits move forward without sleeping.
class FakeUi : public TransferUi {
public:
    void showMessage(const QString& text, Icon icon = Icon::Information) override;
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo, Icon icon = Icon::Question,
               const QString& title = {}) override;
    void progress(int done, int total) override;
    void processEvents() override;
    void waitMs(int ms) override;
    qint64 nowMs() const override { return clock; }
    bool stopRequested() const override;
    bool waitForLine(const std::function<bool()>& lineClear) override;
    void runStarted(TransferRun&) override { ++runsStarted; }
    void runEnded(TransferRun&) override { ++runsEnded; }

    QStringList messages;  // shown messages, in order
    QStringList questions; // asked questions, in order
    QStringList titles;    // their captions ("Vorn Duno" where the caller gave none)
    QList<Answer> answers; // script for ask()
    QList<int> waits;      // every waitMs() argument
    qint64 clock = 0;
    int lastDone = -1, lastTotal = -1;
    int eventsRun = 0;
    // Stop is requested once processEvents() has run this many times (-1: never).
    int stopAfterEvents = -1;
    bool stop = false;
    bool lineWaitResult = true; // what the line-held wait ends with
    // Waits also pass in real time: for a peer on another thread that keeps its own time
    // (an emulated device that comes back after a while).
    bool sleeps = false;
    int lineWaits = 0;
    int runsStarted = 0, runsEnded = 0;
};
