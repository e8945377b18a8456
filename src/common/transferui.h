#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class TransferRun;

// Everything a transfer run needs from whoever started it: the GUI shows message boxes and
// keeps the window alive, the command line prints to stderr and answers from its options,
// the tests record what was said and advance a fake clock. Runs never call a message box,
// sleep or the event loop themselves.
class TransferUi {
public:
    enum class Icon { Information, Warning, Error, Question };
    enum class Answer { Yes, No, Cancel };
    enum class Buttons { YesNo, YesNoCancel };

    virtual ~TransferUi() = default;

    // A message box with a fixed Polish text, shown once.
    virtual void showMessage(const QString& text, Icon icon = Icon::Information) = 0;
    // A question; the caller says which buttons are offered and, where it is not the
    // program's own "Vorn Duno", the caption (empty: "Vorn Duno").
    virtual Answer ask(const QString& text, Buttons buttons = Buttons::YesNo,
                       Icon icon = Icon::Question, const QString& title = {}) = 0;
    // Progress of a long run: `done` of `total` records (total 0 = unknown).
    virtual void progress(int done, int total) { (void)done, (void)total; }
    // Lets pending window messages run once, so that a cancel button can be pressed.
    virtual void processEvents() {}
    // Pauses the run; the tests' clock only advances.
    virtual void waitMs(int ms) = 0;
    // Milliseconds on the run's clock (monotonic).
    virtual qint64 nowMs() const = 0;
    // The user asked to stop ("Anuluj", Escape).
    virtual bool stopRequested() const { return false; }

    // The line is held by flow control: show the "Oczekiwanie na odpowiedź" wait until
    // `lineClear` says the line is free (true) or the user gives up (false). The default
    // polls every 200 ms for up to 30 s without asking anyone.
    virtual bool waitForLine(const std::function<bool()>& lineClear);

    // A long run begins and ends (TransferRun tells): the window ties its progress display
    // and its "Anuluj" to the run and locks the run's form until it ends.
    virtual void runStarted(TransferRun& run) { (void)run; }
    virtual void runEnded(TransferRun& run) { (void)run; }
};

// A TransferUi that keeps real time and talks to nobody: for runs started by other runs and
// for tools that only need the clock.
class SilentUi : public TransferUi {
public:
    void showMessage(const QString& text, Icon icon = Icon::Information) override;
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo, Icon icon = Icon::Question,
               const QString& title = {}) override;
    void waitMs(int ms) override;
    qint64 nowMs() const override;

    QStringList messages;
};
