#include "tlistatowarowtandem.h"

#include "app/appsession.h"
#include "app/forms/textfit.h"
#include "common/cp1250.h"
#include "database/registerdatabase.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>

TListaTowarowTandem::TListaTowarowTandem(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session)
{
    setWindowTitle(QStringLiteral("Lista towarów powiązanych"));
    auto* root = new QVBoxLayout(this);
    root->addWidget(new QLabel(QStringLiteral("Usunięcie opakowania spowoduje likwidację"), this));
    root->addWidget(new QLabel(QStringLiteral("powiązań z poniższymi towarami:"), this));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // An article name (up to 42 characters) whole beside the scroll bar, ten names at a time.
    Memo1->setMinimumSize(textBoxSizeFor(Memo1, Memo1->document(), QString(42, u'M'), 10));
    root->addWidget(Memo1);
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->hide();
    root->addWidget(Label3);
    auto* buttons = new QHBoxLayout;
    root->addLayout(buttons);
    Button1 = new QPushButton(QStringLiteral("Potwierdź usunięcie opakowania"), this);
    Button2 = new QPushButton(QStringLiteral("Anuluj"), this);
    Button1->setDefault(true);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    connect(Button1, &QPushButton::clicked, this, [this] {
        m_confirmed = true;
        accept();
    });
    connect(Button2, &QPushButton::clicked, this, [this] {
        m_confirmed = false;
        reject();
    });
}

bool TListaTowarowTandem::confirmDeletion(AppSession& session, int number, QWidget* parent)
{
    TListaTowarowTandem dialog(session, parent);
    dialog.setPackagingNumber(number);
    dialog.exec();
    return dialog.confirmed();
}

void TListaTowarowTandem::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TListaTowarowTandem::FormShow()
{
    Memo1->clear();
    m_confirmed = false;
    const QByteArray table = readTable(m_session.database(), layout::Articles);
    QStringList lines;
    if (table.size() >= layout::Articles.bytes() && m_packaging != 0)
        for (int n = 1; n <= layout::Articles.count; ++n) {
            const QByteArrayView rec = layout::Articles.record(table, n);
            if (quint8(rec[63]) == m_packaging)
                lines.append(cp1250::readField(rec.sliced(2, 42)));
        }
    // How many articles lose their link, said as plainly as for a group in use.
    Label3->setText(QStringLiteral("Liczba towarów sprzedawanych w tandemie z opakowaniem nr ") +
                    QString::number(m_packaging) + QStringLiteral(": ") +
                    QString::number(lines.size()) + u'.');
    Label3->setVisible(!lines.isEmpty());
    if (lines.isEmpty())
        lines = {QStringLiteral("Z opakowaniem nie są powiązane"), QStringLiteral("żadne towary.")};
    Memo1->setPlainText(lines.join(u'\n'));
}
