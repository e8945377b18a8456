#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

// A form while one of its runs goes on and lets window messages through: every control but
// the run's cancel is disabled, so nothing can start a second transfer, print or close the
// form; Escape asks the run to stop instead of closing; the window's close button is refused.
// Everything comes back as it was when the lock goes.
class RunLock : public QObject {
public:
    RunLock(QWidget* form, QObject* cancel, std::function<void()> stop);
    ~RunLock() override;

    QWidget* form() const { return m_form; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_form;
    std::function<void()> m_stop;
    std::vector<QPointer<QWidget>> m_disabled;
};
