#pragma once

#include "common/transferui.h"

#include <QElapsedTimer>

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
    void processEvents() override;
    void waitMs(int ms) override;
    qint64 nowMs() const override { return m_clock.elapsed(); }
    bool stopRequested() const override { return m_stop; }

    void setStopRequested(bool stop) { m_stop = stop; }
    void setParent(QWidget* parent) { m_parent = parent; }

private:
    QWidget* m_parent;
    QElapsedTimer m_clock;
    bool m_stop = false;
};
