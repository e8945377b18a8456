#include "tlistatowarow.h"

#include "app/appsession.h"
#include "app/forms/formparts.h"
#include "database/registerdatabase.h"
#include "tables/articlegrid.h"
#include "tables/tablelayout.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TListaTowarow::TListaTowarow(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session)
{
    setWindowTitle(QStringLiteral("Lista towarów"));
    auto* root = new QVBoxLayout(this);
    m_model = new ArticleGridModel(ArticleGridModel::Columns::Picker, this);
    StringGrid1 = new QTableView(this);
    StringGrid1->setModel(m_model);
    formparts::readOnlyRows(StringGrid1);
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int widths[9] = {43, 342, 45, 106, 138, 71, 74, 67, 77};
    for (int c = 0; c < 9; ++c)
        StringGrid1->setColumnWidth(c, widths[c]);
    StringGrid1->setMinimumSize(980, 400);
    root->addWidget(StringGrid1);
    auto* buttons = new QHBoxLayout;
    root->addLayout(buttons);
    buttons->addStretch();
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button2 = new QPushButton(QStringLiteral("Zamknij"), this);
    Button1->setDefault(true);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    connect(Button1, &QPushButton::clicked, this, &TListaTowarow::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(StringGrid1, &QTableView::doubleClicked, this, [this] { Button1Click(); });
}

void TListaTowarow::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TListaTowarow::FormShow()
{
    if (!m_session.hasDatabase())
        return;
    m_model->refill(readTable(m_session.database(), layout::Articles));
    StringGrid1->selectRow(0);
}

void TListaTowarow::Button1Click()
{
    const int number = m_model->numberAt(StringGrid1->currentIndex().row());
    if (number == 0)
        return; // the empty last row names no article
    m_chosen = number;
    if (chosen)
        chosen(number);
    accept();
}
