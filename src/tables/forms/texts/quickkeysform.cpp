#include "quickkeysform.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "app/forms/textfit.h"
#include "common/transferrun.h"
#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "tables/articlerecord.h"
#include "tables/cashierrecord.h"
#include "tables/quickkeys.h"
#include "tables/validation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

// ---- drag and drop -------------------------------------------------------------------------

ArticleDragList::ArticleDragList(QWidget* parent) : QListWidget(parent)
{
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QStringList ArticleDragList::mimeTypes() const
{
    return {quickkeydrag::ArticleMime};
}

QMimeData* ArticleDragList::mimeData(const QList<QListWidgetItem*>& items) const
{
    if (items.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    data->setData(quickkeydrag::ArticleMime,
                  QByteArray::number(items.first()->data(Qt::UserRole).toInt()));
    return data;
}

QuickKeyList::QuickKeyList(int key, QWidget* parent) : QListWidget(parent), m_key(key)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QStringList QuickKeyList::mimeTypes() const
{
    return {quickkeydrag::EntryMime};
}

QMimeData* QuickKeyList::mimeData(const QList<QListWidgetItem*>& items) const
{
    if (items.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    data->setData(quickkeydrag::EntryMime,
                  QByteArray::number(m_key) + ':' + QByteArray::number(row(items.first())));
    return data;
}

void QuickKeyList::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(quickkeydrag::ArticleMime))
        event->acceptProposedAction();
    else
        event->ignore();
}

void QuickKeyList::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(quickkeydrag::ArticleMime))
        event->acceptProposedAction();
    else
        event->ignore();
}

void QuickKeyList::dropEvent(QDropEvent* event)
{
    if (!takeDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

bool QuickKeyList::takeDrop(const QMimeData* data)
{
    if (!data || !data->hasFormat(quickkeydrag::ArticleMime))
        return false;
    bool ok = false;
    const int article = data->data(quickkeydrag::ArticleMime).toInt(&ok);
    if (ok && articleDropped)
        articleDropped(article);
    return ok;
}

QuickKeyBin::QuickKeyBin(QWidget* parent) : QLabel(QStringLiteral("Kosz"), parent)
{
    setObjectName(QStringLiteral("Kosz"));
    setAcceptDrops(true);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Box);
    // A target that a dragged line finds easily: a few letters wide, three lines high.
    setMinimumSize(fontMetrics().horizontalAdvance(QStringLiteral("Kosz")) * 2,
                   3 * fontMetrics().height());
}

void QuickKeyBin::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(quickkeydrag::EntryMime))
        event->acceptProposedAction();
    else
        event->ignore();
}

void QuickKeyBin::dropEvent(QDropEvent* event)
{
    if (!takeDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

bool QuickKeyBin::takeDrop(const QMimeData* data)
{
    if (!data || !data->hasFormat(quickkeydrag::EntryMime))
        return false;
    const QList<QByteArray> parts = data->data(quickkeydrag::EntryMime).split(':');
    if (parts.size() != 2)
        return false;
    bool okKey = false, okRow = false;
    const int key = parts[0].toInt(&okKey);
    const int row = parts[1].toInt(&okRow);
    if (!okKey || !okRow)
        return false;
    if (entryDropped)
        entryDropped(key, row);
    return true;
}

// ---- the form ------------------------------------------------------------------------------

TProgramowanieKlawiszySzybkich2::TProgramowanieKlawiszySzybkich2(AppSession& session,
                                                                 QWidget* parent)
    : LinkForm(session, QStringLiteral("Programowanie klawiszy szybkich"), parent)
{
    // The article list with what applies to every drop (cashier, quantity) above it and the bin
    // and the send-all below it on the left; the ten keys in five rows of two on the right, each
    // list wide enough for its longest line and high enough for its five entries.
    auto* main = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* choices = new QFormLayout;
    cashier = new QComboBox(this);
    cashier->setObjectName(QStringLiteral("Kasjer"));
    choices->addRow(QStringLiteral("Kasjer:"), cashier);
    quantity = new QLineEdit(QStringLiteral("1,0000"), this);
    quantity->setObjectName(QStringLiteral("Ilosc"));
    quantity->setMaxLength(9);
    choices->addRow(QStringLiteral("Dodawana ilość:"), quantity);
    left->addLayout(choices);

    articles = new ArticleDragList(this);
    articles->setObjectName(QStringLiteral("ListaTowarow"));
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::Monospace);
    articles->setFont(mono);
    // An article line (39 characters: number, name, price, VAT letter) whole beside its scroll
    // bar, in the list's own fixed-pitch font.
    articles->setMinimumWidth(listWidthFor(articles, QString(40, u'M')));
    left->addWidget(articles, 1);

    auto* bottom = new QHBoxLayout;
    bin = new QuickKeyBin(this);
    bin->entryDropped = [this](int key, int row) { removeLine(key, row); };
    bottom->addWidget(bin);
    waitLabel = new QLabel(QStringLiteral("Czekaj..."), this);
    waitLabel->setVisible(false);
    bottom->addWidget(waitLabel, 1);
    sendAllButton = new QPushButton(QStringLiteral("Wyślij do kasy wszystkie klawisze"), this);
    sendAllButton->setObjectName(QStringLiteral("WyslijWszystkie"));
    sendAllButton->setAutoDefault(false);
    sendAllButton->setEnabled(m_session.online());
    bottom->addWidget(sendAllButton);
    left->addLayout(bottom);
    main->addLayout(left, 1);

    // A key line: the longest name (42 characters) padded, a space and the largest quantity
    // ("99,9999").
    constexpr int KeyLineCharacters = 42 + 1 + 7;
    auto* grid = new QGridLayout;
    for (int k = 0; k < 10; ++k) {
        auto* box = new QVBoxLayout;
        box->setSpacing(0);
        auto* head = new QHBoxLayout;
        head->addWidget(new QLabel(QStringLiteral("F") + QString::number(k + 1), this));
        auto* list = new QuickKeyList(k + 1, this);
        list->setObjectName(QStringLiteral("Klawisz") + QString::number(k + 1));
        list->setFont(mono);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        list->articleDropped = [this, k](int article) { addArticle(k + 1, article); };
        connect(list, &QWidget::customContextMenuRequested, this, [this, list, k](QPoint at) {
            QMenu menu(this);
            QAction* send = menu.addAction(QStringLiteral("Wyślij do kasy"));
            if (menu.exec(list->mapToGlobal(at)) == send)
                sendKey(k + 1);
        });
        keys[size_t(k)] = list;
        auto* end = new QCheckBox(QStringLiteral("Kończenie paragonu"), this);
        end->setObjectName(QStringLiteral("Konczenie") + QString::number(k + 1));
        connect(end, &QCheckBox::clicked, this,
                [this, k](bool checked) { endReceiptClicked(k + 1, checked); });
        endReceipt[size_t(k)] = end;
        head->addStretch(1);
        head->addWidget(end);
        box->addLayout(head);
        // One line's height as the list draws it, from a line measured before any is shown.
        list->addItem(QString(KeyLineCharacters, u'M'));
        const int line = list->sizeHintForRow(0);
        const int lineWidth = list->sizeHintForColumn(0);
        list->clear();
        // Five lines high, no more: the room left over goes to the article list.
        list->setMinimumWidth(lineWidth + 2 * list->frameWidth());
        list->setFixedHeight(QuickKeyRecord::Entries * line + 2 * list->frameWidth());
        box->addWidget(list);
        grid->addLayout(box, k % 5, k / 5);
    }
    main->addLayout(grid, 2);

    connect(cashier, &QComboBox::currentIndexChanged, this, [this] { refreshKeys(); });
    connect(sendAllButton, &QPushButton::clicked, this, [this] { sendAllKeys(); });
}

void TProgramowanieKlawiszySzybkich2::showEvent(QShowEvent* event)
{
    LinkForm::showEvent(event);
    fillArticles();
    fillCashiers();
    sendAllButton->setEnabled(m_session.online());
    refreshKeys();
}

void TProgramowanieKlawiszySzybkich2::fillArticles()
{
    articles->clear();
    const QByteArray table = readTable(m_session.database(), layout::Articles);
    for (int n = 1; n <= layout::Articles.count; ++n) {
        const QByteArrayView bytes = layout::Articles.record(table, n);
        if (!ArticleRecord::used(bytes))
            continue;
        const ArticleRecord a = ArticleRecord::decode(bytes);
        auto* item = new QListWidgetItem(quickKeyArticleLine(n, a.name, a.price, a.vat));
        item->setData(Qt::UserRole, n);
        articles->addItem(item);
    }
}

void TProgramowanieKlawiszySzybkich2::fillCashiers()
{
    const QSignalBlocker block(cashier);
    const int generation = m_session.session().generation();
    const int chosen = generation == m_filledGeneration ? std::max(0, cashier->currentIndex()) : 0;
    m_filledGeneration = generation;
    cashier->clear();
    for (int n = 1; n <= 10; ++n) {
        const QByteArray bytes =
            m_session.database().readBytes(layout::Cashiers.offsetOf(n), CashierRecord::Size);
        if (bytes[0] != 0)
            cashier->addItem(QString::number(n) + u' ' + CashierRecord::decode(bytes).name);
        else
            cashier->addItem(QString::number(n));
    }
    cashier->setCurrentIndex(chosen);
}

int TProgramowanieKlawiszySzybkich2::selectedCashier() const
{
    return std::max(0, cashier->currentIndex()) + 1;
}

void TProgramowanieKlawiszySzybkich2::refreshKeys()
{
    RegisterDatabase& db = m_session.database();
    const int c = selectedCashier();
    if (quickkeys::repairIfDamaged(db, c)) {
        m_session.markModified();
        m_session.ui().showMessage(quickkeys::RepairMessage, TransferUi::Icon::Warning);
    }
    for (int k = 1; k <= 10; ++k) {
        const QuickKeyRecord r = quickkeys::load(db, c, k);
        QuickKeyList* list = keys[size_t(k - 1)];
        list->clear();
        m_entryOfLine[size_t(k - 1)].clear();
        for (int i = 0; i < QuickKeyRecord::Entries; ++i) {
            const QuickKeyRecord::Entry& e = r.entries[size_t(i)];
            if (e.article == 0)
                continue;
            const QString name = input::withoutTrailingSpaces(
                loadRecord<ArticleRecord>(db, layout::Articles, e.article).name);
            list->addItem(quickKeyEntryLine(name, e.quantity));
            m_entryOfLine[size_t(k - 1)].append(i);
        }
        endReceipt[size_t(k - 1)]->setChecked(r.endReceipt);
    }
}

bool TProgramowanieKlawiszySzybkich2::addArticle(int key, int article)
{
    if (key < 1 || key > 10 || article < 1 || article > layout::Articles.count)
        return false;
    const QString typed = quantity->text();
    if (!input::truncated(typed, 4)) {
        quantity->selectAll();
        quantity->setFocus();
        return false;
    }
    const auto q = quickKeyQuantity(typed);
    if (!q) {
        quantity->setFocus();
        return false;
    }
    RegisterDatabase& db = m_session.database();
    const int c = selectedCashier();
    QuickKeyRecord r = quickkeys::load(db, c, key);
    r.addArticle(c, key, article, *q, endReceipt[size_t(key - 1)]->isChecked());
    if (!quickkeys::store(db, c, key, r))
        return false;
    m_session.markModified();
    refreshKeys();
    return true;
}

void TProgramowanieKlawiszySzybkich2::removeLine(int key, int row)
{
    if (key < 1 || key > 10)
        return;
    const QList<int>& entries = m_entryOfLine[size_t(key - 1)];
    if (row < 0 || row >= entries.size())
        return;
    RegisterDatabase& db = m_session.database();
    const int c = selectedCashier();
    QuickKeyRecord r = quickkeys::load(db, c, key);
    r.removeEntry(entries[row]);
    if (quickkeys::store(db, c, key, r))
        m_session.markModified();
    refreshKeys();
}

void TProgramowanieKlawiszySzybkich2::endReceiptClicked(int key, bool checked)
{
    const qint64 at = QuickKeyRecord::offsetOf(selectedCashier(), key) + 33;
    m_session.database().writeByteAt(at, checked ? 1 : 0);
    m_session.markModified();
}

void TProgramowanieKlawiszySzybkich2::sendKey(int key)
{
    waitLabel->setVisible(true);
    quickkeys::sendOneKey(*m_link, m_session.ui(), m_session.database(), selectedCashier(), key);
    waitLabel->setVisible(false);
}

void TProgramowanieKlawiszySzybkich2::sendAllKeys()
{
    waitLabel->setVisible(true);
    {
        // One run: the window locks the form until the tenth key has gone ("Czekaj..." is its
        // one display) and Escape stops it.
        TransferRun run(m_session.ui(), {this, nullptr, [](int, int) {}});
        quickkeys::sendAllKeys(*m_link, run, m_session.database(), selectedCashier());
    }
    waitLabel->setVisible(false);
}

VDUNO_REGISTER_FORM(TProgramowanieKlawiszySzybkich2)
