#pragma once

#include "common/transferui.h"

#include <functional>

// The session's user interface as a form's run sees it: everything goes to the session's,
// but the form's own "Anuluj" can ask for a stop and the form shows the progress itself.
class FormUi : public TransferUi {
public:
    explicit FormUi(TransferUi& base) : m_base(base) {}

    void showMessage(const QString& text, Icon icon = Icon::Information) override
    {
        m_base.showMessage(text, icon);
    }
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo,
               Icon icon = Icon::Question) override
    {
        return m_base.ask(text, buttons, icon);
    }
    void progress(int done, int total) override
    {
        if (onProgress)
            onProgress(done, total);
        m_base.progress(done, total);
    }
    void processEvents() override { m_base.processEvents(); }
    void waitMs(int ms) override { m_base.waitMs(ms); }
    qint64 nowMs() const override { return m_base.nowMs(); }
    bool stopRequested() const override { return stop || m_base.stopRequested(); }
    bool waitForLine(const std::function<bool()>& lineClear) override
    {
        return m_base.waitForLine(lineClear);
    }

    bool stop = false;
    std::function<void(int done, int total)> onProgress;

private:
    TransferUi& m_base;
};
