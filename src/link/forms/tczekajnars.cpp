#include "tczekajnars.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TCzekajNaRS::TCzekajNaRS(std::function<bool()> lineClear, QWidget* parent)
    : QDialog(parent), m_lineClear(std::move(lineClear))
{
    setWindowTitle(QStringLiteral("Oczekiwanie na odpowiedź"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Kasa niegotowa."), this));
    layout->addWidget(new QLabel(QStringLiteral("Czekam na jej gotowość ..."), this));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    layout->addWidget(ProgressBar1);
    Przerwij = new QPushButton(QStringLiteral("&Przerwij"), this);
    Przerwij->setAutoDefault(false);
    layout->addWidget(Przerwij);
    Timer1 = new QTimer(this);
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, &TCzekajNaRS::Timer1Timer);
    connect(Przerwij, &QPushButton::clicked, this, &TCzekajNaRS::PrzerwijClick);
}

void TCzekajNaRS::showEvent(QShowEvent* event)
{
    m_up = true;
    ProgressBar1->setValue(0);
    Timer1->start();
    QDialog::showEvent(event);
}

void TCzekajNaRS::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    QDialog::hideEvent(event);
}

void TCzekajNaRS::Timer1Timer()
{
    const int value = ProgressBar1->value();
    if (value >= 100)
        m_up = false;
    else if (value <= 0)
        m_up = true;
    ProgressBar1->setValue(qBound(0, value + (m_up ? 2 : -2), 100));
    if (m_lineClear && m_lineClear())
        accept();
}

void TCzekajNaRS::PrzerwijClick()
{
    reject();
}

void TCzekajNaRS::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    Timer1->stop();
    if (QMessageBox::warning(this, windowTitle(), QStringLiteral("Czy przerwać oczekiwanie?"),
                             QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        reject();
        return;
    }
    if (isVisible())
        Timer1->start();
}

bool waitForLineDialog(const std::function<bool()>& lineClear, QWidget* parent)
{
    TCzekajNaRS dialog(lineClear, parent);
    return dialog.exec() == QDialog::Accepted;
}
