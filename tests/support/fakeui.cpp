#include "fakeui.h"

#include <QThread>

void FakeUi::showMessage(const QString& text, Icon)
{
    messages << text;
}

TransferUi::Answer FakeUi::ask(const QString& text, Buttons, Icon, const QString& title)
{
    questions << text;
    titles << (title.isEmpty() ? QStringLiteral("Vorn Duno") : title);
    return answers.isEmpty() ? Answer::No : answers.takeFirst();
}

void FakeUi::progress(int done, int total)
{
    lastDone = done;
    lastTotal = total;
}

void FakeUi::processEvents()
{
    ++eventsRun;
    if (stopAfterEvents >= 0 && eventsRun >= stopAfterEvents)
        stop = true;
}

void FakeUi::waitMs(int ms)
{
    waits << ms;
    clock += ms;
    if (sleeps)
        QThread::msleep(ulong(ms));
}

bool FakeUi::stopRequested() const
{
    return stop;
}

bool FakeUi::waitForLine(const std::function<bool()>& lineClear)
{
    ++lineWaits;
    return lineWaitResult && lineClear();
}
