#include "guitransferui.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

GuiTransferUi::GuiTransferUi(QWidget* parent) : m_parent(parent)
{
    m_clock.start();
}

void GuiTransferUi::showMessage(const QString& text, Icon icon)
{
    closeProgress(true);
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

TransferUi::Answer GuiTransferUi::ask(const QString& text, Buttons buttons, Icon icon)
{
    closeProgress(false);
    const QMessageBox::StandardButtons offered =
        buttons == Buttons::YesNoCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                        : QMessageBox::Yes | QMessageBox::No;
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::Question,
                    QStringLiteral("Vorn Duno"), text, offered, m_parent);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
}

void GuiTransferUi::progress(int done, int total)
{
    m_estimate.update(done, total, nowMs());
    if (total > 0 && done >= total) {
        closeProgress(true);
        return;
    }
    if (!m_progress) {
        if (m_stoppedByProgress) {
            m_stop = false;
            m_stoppedByProgress = false;
        }
        // Over the form the run belongs to, so that it is not blocked by the form's modality.
        QWidget* owner = QApplication::activeModalWidget();
        m_progress = new QProgressDialog(owner ? owner : m_parent);
        m_progress->setWindowTitle(QStringLiteral("Vorn Duno"));
        m_progress->setCancelButtonText(QStringLiteral("Anuluj"));
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(500);
        m_progress->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(m_progress, &QProgressDialog::canceled, [this] {
            m_stop = true;
            m_stoppedByProgress = true;
        });
    }
    m_progress->setMaximum(qMax(total, 0));
    m_progress->setValue(qMax(done, 0));
    m_progress->setLabelText(m_estimate.text());
}

void GuiTransferUi::closeProgress(bool runEnded)
{
    // A stop asked in the progress window belongs to the run it was shown for.
    if (runEnded && m_stoppedByProgress) {
        m_stop = false;
        m_stoppedByProgress = false;
    }
    if (m_progress) {
        // Closed without "canceled": the run ended by itself.
        QObject::disconnect(m_progress, &QProgressDialog::canceled, nullptr, nullptr);
        m_progress->close();
        m_progress = nullptr;
    }
}

void GuiTransferUi::processEvents()
{
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
