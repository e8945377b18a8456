#include "transferui.h"

#include <QElapsedTimer>
#include <QThread>

namespace {
qint64 monotonicMs()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}
} // namespace

bool TransferUi::waitForLine(const std::function<bool()>& lineClear)
{
    for (int waited = 0; waited < 30000; waited += 200) {
        if (lineClear())
            return true;
        if (stopRequested())
            return false;
        processEvents();
        waitMs(200);
    }
    return lineClear();
}

void SilentUi::showMessage(const QString& text, Icon)
{
    messages << text;
}

TransferUi::Answer SilentUi::ask(const QString& text, Buttons, Icon, const QString&)
{
    messages << text;
    return Answer::No;
}

void SilentUi::waitMs(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

qint64 SilentUi::nowMs() const
{
    return monotonicMs();
}
