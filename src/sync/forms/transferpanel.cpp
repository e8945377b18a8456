#include "transferpanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

TransferPanel::TransferPanel(QWidget* parent)
    : QFrame(parent), m_title(new QLabel(this)), m_counterCaption(new QLabel(this)),
      m_counter(new QLabel(this)), m_failures(new QLabel(this)),
      m_printing(new QLabel(QStringLiteral("Drukuję..."), this)),
      m_cancel(new QPushButton(QStringLiteral("Anuluj"), this))
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_title, 0, 0, 1, 2);
    grid->addWidget(m_counterCaption, 1, 0);
    grid->addWidget(m_counter, 1, 1);
    grid->addWidget(m_failures, 2, 0, 1, 2);
    grid->addWidget(m_printing, 3, 0, 1, 2);
    grid->addWidget(m_cancel, 4, 1);
    m_cancel->setObjectName(QStringLiteral("Anuluj"));
    hide();
}

void TransferPanel::start(const QString& title, const QString& counterCaption)
{
    m_title->setText(title);
    m_counterCaption->setText(counterCaption);
    m_counter->setText(QStringLiteral("0"));
    m_failures->clear();
    m_printing->hide();
    show();
    raise();
}

void TransferPanel::setCounter(int done, int total)
{
    m_counter->setText(total > 0 ? QString::number(done) + u'/' + QString::number(total)
                                 : QString::number(done));
}

void TransferPanel::setFailures(int failures)
{
    m_failures->setText(QStringLiteral("Błędy: ") + QString::number(failures));
}

void TransferPanel::setPrinting(bool shown)
{
    m_printing->setVisible(shown);
}
