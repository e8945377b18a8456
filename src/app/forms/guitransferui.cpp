#include "guitransferui.h"

#include "common/transferrun.h"
#include "link/forms/tczekajnars.h"
#include "runlock.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

// A run the window knows of: the run, its form's lock and the connection of its "Anuluj".
struct GuiTransferUi::ActiveRun {
    TransferRun* run;
    std::unique_ptr<RunLock> lock;
    QMetaObject::Connection cancel;
};

GuiTransferUi::GuiTransferUi(QWidget* parent) : m_parent(parent)
{
    m_clock.start();
}

GuiTransferUi::~GuiTransferUi()
{
    closeProgress();
}

TransferRun* GuiTransferUi::currentRun() const
{
    return m_runs.empty() ? nullptr : m_runs.back()->run;
}

void GuiTransferUi::runStarted(TransferRun& run)
{
    auto active = std::make_unique<ActiveRun>();
    active->run = &run;
    QWidget* form = qobject_cast<QWidget*>(run.view().form);
    if (!form)
        form = QApplication::activeModalWidget();
    if (!form)
        form = QApplication::activeWindow();
    TransferRun* r = &run;
    active->lock = std::make_unique<RunLock>(form, run.view().cancel, [r] { r->requestStop(); });
    if (auto* cancel = qobject_cast<QAbstractButton*>(run.view().cancel))
        active->cancel =
            QObject::connect(cancel, &QAbstractButton::clicked, [r] { r->requestStop(); });
    m_runs.push_back(std::move(active));
    closeProgress();
    m_estimate = ProgressEstimate();
}

void GuiTransferUi::runEnded(TransferRun& run)
{
    for (auto it = m_runs.begin(); it != m_runs.end(); ++it) {
        if ((*it)->run != &run)
            continue;
        QObject::disconnect((*it)->cancel);
        m_runs.erase(it);
        break;
    }
    closeProgress();
}

void GuiTransferUi::showMessage(const QString& text, Icon icon)
{
    closeProgress();
    const QString title = QStringLiteral("Vorn Duno");
    switch (icon) {
    case Icon::Warning:
        QMessageBox::warning(m_parent, title, text);
        break;
    case Icon::Error:
        QMessageBox::critical(m_parent, title, text);
        break;
    default:
        QMessageBox::information(m_parent, title, text);
        break;
    }
}

TransferUi::Answer GuiTransferUi::ask(const QString& text, Buttons buttons, Icon icon,
                                      const QString& title)
{
    // A Yes/No question has no way out but its two buttons: Escape and the window's close
    // button leave it on the screen, as a Yes/No message box does on Windows.
    class YesNoBox : public QMessageBox {
    public:
        using QMessageBox::QMessageBox;
        bool escapable = true;

    protected:
        void keyPressEvent(QKeyEvent* event) override
        {
            if (!escapable && event->key() == Qt::Key_Escape)
                return event->accept();
            QMessageBox::keyPressEvent(event);
        }
        void closeEvent(QCloseEvent* event) override
        {
            if (!escapable)
                return event->ignore();
            QMessageBox::closeEvent(event);
        }
    };

    closeProgress();
    const bool withCancel = buttons == Buttons::YesNoCancel;
    const QMessageBox::StandardButtons offered =
        withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                   : QMessageBox::Yes | QMessageBox::No;
    // A box closed some other way (by the program, not by a button) is shown again: only a
    // button answers a Yes/No question. A program that keeps closing it gets No in the end.
    for (int shown = 0; shown < 10; ++shown) {
        YesNoBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::Question,
                     title.isEmpty() ? QStringLiteral("Vorn Duno") : title, text, offered,
                     m_parent);
        box.escapable = withCancel;
        box.exec();
        const QAbstractButton* clicked = box.clickedButton();
        if (clicked && clicked == box.button(QMessageBox::Yes))
            return Answer::Yes;
        if (clicked && clicked == box.button(QMessageBox::No))
            return Answer::No;
        if (withCancel)
            return Answer::Cancel;
    }
    return Answer::No;
}

void GuiTransferUi::progress(int done, int total)
{
    TransferRun* run = currentRun();
    // Progress outside a run has no "Anuluj" to offer, and a stopped run is ending.
    if (!run || run->stopRequested())
        return;
    m_estimate.update(done, total, nowMs());
    if (!m_progress) {
        QWidget* owner = m_runs.back()->lock->form();
        m_progress = new QProgressDialog(owner ? owner : m_parent);
        m_progress->setWindowTitle(QStringLiteral("Vorn Duno"));
        m_progress->setCancelButtonText(QStringLiteral("Anuluj"));
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(500);
        m_progress->setAttribute(Qt::WA_DeleteOnClose);
        // "Anuluj" and Escape in the window stop the run it was opened for, and only that.
        QObject::connect(m_progress, &QProgressDialog::canceled, [this, run] {
            run->requestStop();
            closeProgress();
        });
    }
    m_progress->setMaximum(qMax(total, 0));
    m_progress->setValue(qMax(done, 0));
    m_progress->setLabelText(m_estimate.text());
}

void GuiTransferUi::closeProgress()
{
    if (!m_progress)
        return;
    QProgressDialog* progress = m_progress;
    m_progress = nullptr;
    QObject::disconnect(progress, &QProgressDialog::canceled, nullptr, nullptr);
    progress->close();
}

void GuiTransferUi::processEvents()
{
    QApplication::processEvents();
}

void GuiTransferUi::whileLineWaits()
{
    if (m_runs.empty())
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    else
        QApplication::processEvents();
}

void GuiTransferUi::waitMs(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool GuiTransferUi::waitForLine(const std::function<bool()>& lineClear)
{
    closeProgress();
    return waitForLineDialog(lineClear, m_parent);
}
