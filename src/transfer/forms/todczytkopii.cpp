#include "todczytkopii.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "common/transferrun.h"
#include "link/link.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimeEdit>
#include <QVBoxLayout>

using namespace transfer;

namespace {

QComboBox* handlingBox(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItems(
        {QStringLiteral("Drukowanie na kasie"), QStringLiteral("Wysyłanie do komputera")});
    return box;
}

QComboBox* scopeBox(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItems({QStringLiteral("Całość kopii"), QStringLiteral("Tylko raporty")});
    return box;
}

} // namespace

TOdczytKopii::TOdczytKopii(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance())
{
    setObjectName(QStringLiteral("TOdczytKopii"));
    setWindowTitle(QStringLiteral("Odczyt kopii elektronicznej"));
    auto* top = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    // Every page's caption whole: the form is as wide as the four tabs.
    m_pages->setUsesScrollButtons(false);
    top->addWidget(m_pages);

    auto* last = new QWidget(m_pages);
    auto* lastForm = new QFormLayout(last);
    m_handling[LastDocument] = handlingBox(last);
    lastForm->addRow(QStringLiteral("Obsługa kopii"), m_handling[LastDocument]);
    m_pages->addTab(last, QStringLiteral("Ostatni dokument"));

    auto* numbers = new QWidget(m_pages);
    auto* numbersForm = new QFormLayout(numbers);
    const char16_t* captions[4] = {
        u"Numer raportu początkowego (1-2000)", u"Numer raportu końcowego (1-2000)",
        u"Numer paragonu początkowego (1-99999)", u"Numer paragonu końcowego (1-99999)"};
    const char* starts[4] = {"1", "2000", "1", "99999"};
    for (int i = 0; i < 4; ++i) {
        m_numbers[size_t(i)] = new QLineEdit(QString::fromLatin1(starts[i]), numbers);
        m_numbers[size_t(i)]->setMaxLength(i < 2 ? 4 : 5);
        numbersForm->addRow(QString::fromUtf16(captions[i]), m_numbers[size_t(i)]);
    }
    m_scopeNumbers = scopeBox(numbers);
    numbersForm->addRow(QStringLiteral("Zakres"), m_scopeNumbers);
    m_handling[ByNumbers] = handlingBox(numbers);
    numbersForm->addRow(QStringLiteral("Obsługa kopii"), m_handling[ByNumbers]);
    m_pages->addTab(numbers, QStringLiteral("Według numerów"));

    auto* dates = new QWidget(m_pages);
    auto* datesForm = new QFormLayout(dates);
    const QDateTime now = QDateTime::currentDateTime();
    m_dateFrom = new QDateEdit(now.date(), dates);
    m_dateTo = new QDateEdit(now.date(), dates);
    m_timeFrom = new QTimeEdit(QTime(0, 0), dates);
    m_timeTo = new QTimeEdit(QTime(23, 59), dates);
    for (QDateEdit* d : {m_dateFrom, m_dateTo}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    }
    for (QTimeEdit* t : {m_timeFrom, m_timeTo})
        t->setDisplayFormat(QStringLiteral("HH:mm"));
    datesForm->addRow(QStringLiteral("Data od"), m_dateFrom);
    datesForm->addRow(QStringLiteral("Godzina od"), m_timeFrom);
    datesForm->addRow(QStringLiteral("Data do"), m_dateTo);
    datesForm->addRow(QStringLiteral("Godzina do"), m_timeTo);
    m_scopeDates = scopeBox(dates);
    datesForm->addRow(QStringLiteral("Zakres"), m_scopeDates);
    m_handling[ByDates] = handlingBox(dates);
    datesForm->addRow(QStringLiteral("Obsługa kopii"), m_handling[ByDates]);
    m_pages->addTab(dates, QStringLiteral("Według dat"));

    auto* cache = new QWidget(m_pages);
    auto* cacheForm = new QFormLayout(cache);
    m_handling[CacheMemory] = handlingBox(cache);
    cacheForm->addRow(QStringLiteral("Obsługa kopii"), m_handling[CacheMemory]);
    m_pages->addTab(cache, QStringLiteral("Wydruk pamięci podręcznej"));

    m_memo = new QPlainTextEdit(this);
    m_memo->setReadOnly(true);
    // Room for sixty characters on sixteen lines of the copy.
    const QFontMetrics memoFont(m_memo->font());
    m_memo->setMinimumSize(60 * memoFont.averageCharWidth(), 16 * memoFont.lineSpacing());
    top->addWidget(m_memo);

    auto* buttons = new QHBoxLayout;
    m_read = new QPushButton(QStringLiteral("Odczytaj"), this);
    m_read->setDefault(true);
    m_stop = new QPushButton(QStringLiteral("Przerwij odczyt"), this);
    m_stop->setEnabled(false);
    auto* exit = new QPushButton(QStringLiteral("Wyjdź"), this);
    buttons->addWidget(m_read);
    buttons->addWidget(m_stop);
    buttons->addStretch();
    buttons->addWidget(exit);
    top->addLayout(buttons);
    connect(m_read, &QPushButton::clicked, this, &TOdczytKopii::Button1Click);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<CopyQuery> TOdczytKopii::query()
{
    const auto page = Page(m_pages->currentIndex());
    const auto handling = CopyHandling(m_handling[size_t(page)]->currentIndex() + 1);
    switch (page) {
    case ByNumbers: {
        QString error;
        auto q = copyByNumbers(m_numbers[0]->text(), m_numbers[1]->text(), m_numbers[2]->text(),
                               m_numbers[3]->text(), CopyScope(m_scopeNumbers->currentIndex() + 1),
                               handling, &error);
        if (!q)
            m_session.ui().showMessage(error, TransferUi::Icon::Error);
        return q;
    }
    case ByDates:
        return copyByDates(m_dateFrom->date(), m_timeFrom->time(), m_dateTo->date(),
                           m_timeTo->time(), CopyScope(m_scopeDates->currentIndex() + 1), handling);
    case CacheMemory:
        return copySimple(CopyKind::CacheMemory, handling);
    case LastDocument:
        break;
    }
    return copySimple(CopyKind::LastDocument, handling);
}

void TOdczytKopii::Button1Click()
{
    m_memo->clear();
    const auto q = query();
    if (!q)
        return;
    readRun([&](TransferRun& run) {
        runCopyRead(*m_link, run, *q, nullptr, [this](const QString& piece) { appendText(piece); });
    });
}

CopyReception TOdczytKopii::CzytajDane()
{
    CopyReception r;
    readRun([&](TransferRun& run) {
        r = receiveCopyText(*m_link, run, [this](const QString& piece) { appendText(piece); });
    });
    return r;
}

void TOdczytKopii::readRun(const std::function<void(TransferRun&)>& body)
{
    // "Przerwij odczyt" is the run's own stop; the window locks the form until the copy ends.
    m_stop->setEnabled(true);
    {
        TransferRun run(m_session.ui(), {this, m_stop, {}});
        body(run);
    }
    m_stop->setEnabled(false);
}

void TOdczytKopii::appendText(const QString& piece)
{
    if (piece.isEmpty())
        return;
    // At the end of what is there, line breaks included: the text is never taken whole again.
    QTextCursor end(m_memo->document());
    end.movePosition(QTextCursor::End);
    end.insertText(piece);
    m_memo->moveCursor(QTextCursor::End);
}

VDUNO_REGISTER_FORM(TOdczytKopii)
