#include "reports/forms/reportwidgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QVBoxLayout>

namespace reports {

void markActive(QWidget* box, bool active)
{
    box->setEnabled(active);
    const QColor colour = active ? QColor(Qt::white) : box->palette().color(QPalette::Midlight);
    const auto inputs = box->findChildren<QWidget*>();
    for (QWidget* w : inputs) {
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w) &&
            !w->inherits("QAbstractSpinBox"))
            continue;
        QPalette pal = w->palette();
        pal.setColor(QPalette::Base, colour);
        w->setPalette(pal);
    }
}

YesNoGroup::YesNoGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), m_no(new QRadioButton(QStringLiteral("Nie"), this)),
      m_yes(new QRadioButton(QStringLiteral("Tak"), this))
{
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_no);
    layout->addWidget(m_yes);
    layout->addStretch();
    m_no->setChecked(true);
}

bool YesNoGroup::value() const
{
    return m_yes->isChecked();
}

void YesNoGroup::setValue(bool yes)
{
    (yes ? m_yes : m_no)->setChecked(true);
}

ScopeSelection::ScopeSelection(QWidget* parent)
    : QWidget(parent), m_whole(new QRadioButton(QStringLiteral("Raport całej bazy"), this)),
      m_group(new QRadioButton(QStringLiteral("Raport grupy towarowej"), this)),
      m_articles(new QRadioButton(QStringLiteral("Raport według numerów PLU"), this)),
      m_groupFrame(new QGroupBox(this)), m_articlesFrame(new QGroupBox(this)),
      m_groupCombo(new QComboBox(m_groupFrame)), m_first(new QLineEdit(m_articlesFrame)),
      m_last(new QLineEdit(m_articlesFrame))
{
    for (int g = 1; g <= 20; ++g)
        m_groupCombo->addItem(QString::number(g));
    auto* groupLayout = new QHBoxLayout(m_groupFrame);
    groupLayout->addWidget(m_groupCombo);
    groupLayout->addStretch();

    m_first->setMaxLength(4);
    m_last->setMaxLength(4);
    auto* articlesLayout = new QHBoxLayout(m_articlesFrame);
    articlesLayout->addWidget(new QLabel(QStringLiteral("Od"), m_articlesFrame));
    articlesLayout->addWidget(m_first);
    articlesLayout->addWidget(new QLabel(QStringLiteral("Do"), m_articlesFrame));
    articlesLayout->addWidget(m_last);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_whole, 0, 0);
    grid->addWidget(m_group, 1, 0);
    grid->addWidget(m_groupFrame, 1, 1);
    grid->addWidget(m_articles, 2, 0);
    grid->addWidget(m_articlesFrame, 2, 1);

    for (QRadioButton* b : {m_whole, m_group, m_articles})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                refresh();
        });
    m_whole->setChecked(true);
    refresh();
}

Scope ScopeSelection::scope() const
{
    if (m_group->isChecked())
        return Scope::Group;
    if (m_articles->isChecked())
        return Scope::Articles;
    return Scope::WholeBase;
}

void ScopeSelection::setScope(Scope scope)
{
    (scope == Scope::Group      ? m_group
     : scope == Scope::Articles ? m_articles
                                : m_whole)
        ->setChecked(true);
    refresh();
}

void ScopeSelection::refresh()
{
    const Scope s = scope();
    markActive(m_groupFrame, s == Scope::Group);
    markActive(m_articlesFrame, s == Scope::Articles);
}

void ScopeSelection::collect(ReportParams& p) const
{
    p.scope = scope();
    p.group = m_groupCombo->currentIndex() + 1;
    p.firstArticle = m_first->text();
    p.lastArticle = m_last->text();
}

} // namespace reports
