#pragma once

#include "common/transferui.h"

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// "Oczekiwanie na odpowiedź": shown while the register holds the line. Every 200 ms the bar
// moves and the line is checked; a free line closes the dialog with Accepted, "&Przerwij"
// (or Escape and Yes) with Rejected.
class TCzekajNaRS : public QDialog {
    Q_OBJECT
public:
    explicit TCzekajNaRS(std::function<bool()> lineClear, QWidget* parent = nullptr);

    QProgressBar* ProgressBar1;
    QPushButton* Przerwij;
    QTimer* Timer1;

    void Timer1Timer();
    void PrzerwijClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<bool()> m_lineClear;
    bool m_up = true;
};

// Shows TCzekajNaRS modally; true when the line was released.
bool waitForLineDialog(const std::function<bool()>& lineClear, QWidget* parent = nullptr);

// Wraps another TransferUi and shows TCzekajNaRS when the line is held.
class DialogLineWaitUi : public TransferUi {
public:
    DialogLineWaitUi(TransferUi& inner, QWidget* parent = nullptr)
        : m_inner(inner), m_parent(parent)
    {
    }
    void showMessage(const QString& text, Icon icon = Icon::Information) override
    {
        m_inner.showMessage(text, icon);
    }
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo,
               Icon icon = Icon::Question) override
    {
        return m_inner.ask(text, buttons, icon);
    }
    void progress(int done, int total) override { m_inner.progress(done, total); }
    void processEvents() override { m_inner.processEvents(); }
    void waitMs(int ms) override { m_inner.waitMs(ms); }
    qint64 nowMs() const override { return m_inner.nowMs(); }
    bool stopRequested() const override { return m_inner.stopRequested(); }
    bool waitForLine(const std::function<bool()>& lineClear) override
    {
        return waitForLineDialog(lineClear, m_parent);
    }

private:
    TransferUi& m_inner;
    QWidget* m_parent;
};
