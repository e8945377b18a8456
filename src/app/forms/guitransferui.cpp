#include "guitransferui.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

GuiTransferUi::GuiTransferUi(QWidget* parent) : m_parent(parent)
{
    m_clock.start();
}

void GuiTransferUi::showMessage(const QString& text, Icon icon)
{
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
