#include "tedycjatowaru.h"

#include "app/appsession.h"
#include "common/amount.h"
#include "common/transferui.h"
#include "database/registerdatabase.h"
#include "tables/articlebase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TEdycjaTowaru::TEdycjaTowaru(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session)
{
    setWindowTitle(QStringLiteral("Edycja towaru"));
    auto* root = new QVBoxLayout(this);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(new QLabel(QStringLiteral("Numer towaru:"), this));
    Label9 = new QLabel(this);
    numberRow->addWidget(Label9);
    numberRow->addStretch();
    root->addLayout(numberRow);

    auto* form = new QFormLayout;
    root->addLayout(form);
    Edit1 = new QLineEdit(this);
    Edit1->setMaxLength(42);
    form->addRow(QStringLiteral("Nazwa"), Edit1);
    ComboBox1 = new QComboBox(this);
    for (char c = 'A'; c <= 'G'; ++c)
        ComboBox1->addItem(QString(QLatin1Char(c)));
    form->addRow(QStringLiteral("Stawka PTU"), ComboBox1);
    Edit2 = new QLineEdit(this);
    Edit2->setMaxLength(10);
    form->addRow(QStringLiteral("Cena"), Edit2);
    Edit3 = new QLineEdit(this);
    Edit3->setMaxLength(13);
    form->addRow(QStringLiteral("Kod kreskowy"), Edit3);
    ComboBox2 = new QComboBox(this);
    form->addRow(QStringLiteral("Numer grupy towarowej"), ComboBox2);
    ComboBox3 = new QComboBox(this);
    form->addRow(QStringLiteral("Sprzedaż w tandemie"), ComboBox3);
    ComboBox4 = new QComboBox(this);
    ComboBox4->addItem(QStringLiteral("brak"));
    for (int k = 1; k <= 9; ++k)
        ComboBox4->addItem(QString::number(k));
    form->addRow(QStringLiteral("Indeks tablicy HALO"), ComboBox4);
    CheckBox1 = new QCheckBox(QStringLiteral("Cena sztywna"), this);
    CheckBox2 = new QCheckBox(QStringLiteral("Sprzedaż na sztuki"), this);
    form->addRow(CheckBox1);
    form->addRow(CheckBox2);

    auto* buttons = new QHBoxLayout;
    root->addLayout(buttons);
    buttons->addStretch();
    Button1 = new QPushButton(QStringLiteral("Zapisz"), this);
    Button2 = new QPushButton(QStringLiteral("Anuluj"), this);
    Button1->setDefault(true);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    connect(Button1, &QPushButton::clicked, this, &TEdycjaTowaru::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TEdycjaTowaru::setArticleNumber(int number)
{
    Label9->setText(QString::number(number));
}

int TEdycjaTowaru::articleNumber() const
{
    return Label9->text().toInt();
}

void TEdycjaTowaru::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TEdycjaTowaru::FormShow()
{
    RegisterDatabase& db = m_session.database();
    ComboBox2->clear();
    ComboBox2->addItems(editorGroupItems(db));
    ComboBox3->clear();
    ComboBox3->addItems(editorTandemItems(db));
    const int n = articleNumber();
    m_stored = ArticleRecord{};
    if (n >= 1 && n <= 2000) {
        const ArticleRecord r = loadRecord<ArticleRecord>(db, layout::Articles, n);
        m_stored = r;
        Edit1->setText(r.name);
        if (r.vat >= 'A' && r.vat <= 'G')
            ComboBox1->setCurrentIndex(r.vat - 'A');
        Edit2->setText(amount::text(r.price));
        Edit3->setText(r.barcode);
        // A byte that names no item leaves its list without a choice; it is kept on saving.
        const auto select = [](QComboBox* list, int index) {
            list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
        };
        select(ComboBox2, r.group - 1);
        select(ComboBox3, r.tandem);
        select(ComboBox4, r.halo);
        CheckBox1->setChecked(r.fixedPrice);
        CheckBox2->setChecked(r.wholeQuantity);
    }
    Button1->setFocus();
}

ArticleInput TEdycjaTowaru::input() const
{
    ArticleInput in;
    in.number = Label9->text();
    in.name = Edit1->text();
    in.price = Edit2->text();
    in.barcode = Edit3->text();
    in.vatIndex = ComboBox1->currentIndex();
    // A list left without a choice (the stored byte names no item) keeps the stored byte.
    const auto chosen = [](const QComboBox* list, int stored) {
        return list->currentIndex() >= 0 ? list->currentIndex() : stored;
    };
    in.groupIndex = chosen(ComboBox2, m_stored.group - 1);
    in.tandemIndex = chosen(ComboBox3, m_stored.tandem);
    in.haloIndex = chosen(ComboBox4, m_stored.halo);
    in.unitIndex = -1;
    in.fixedPrice = CheckBox1->isChecked();
    in.wholeQuantity = CheckBox2->isChecked();
    return in;
}

void TEdycjaTowaru::Button1Click()
{
    ArticleInput in = input();
    if (save) {
        save(in);
    } else {
        // No article base editor behind us: the article keeps the unit it has.
        const int n = articleNumber();
        in.unitIndex =
            n >= 1 && n <= 2000
                ? loadRecord<ArticleRecord>(m_session.database(), layout::Articles, n).unit
                : 0;
        ArticleBase base(m_session.database());
        const ArticleBase::AddResult r = base.add(in);
        if (r.status == ArticleBase::Status::Written)
            m_session.markModified();
        else if (r.validation.failure)
            m_session.ui().showMessage(r.validation.failure->message, TransferUi::Icon::Warning);
        else
            m_session.ui().showMessage(r.message(), TransferUi::Icon::Warning);
    }
    accept();
}
