#pragma once

#include "transfer/copyread.h"

#include <QDialog>

#include <array>
#include <functional>

class AppSession;
class Link;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimeEdit;
class TransferRun;

// "Odczyt kopii elektronicznej": orders the register to replay part of its electronic copy,
// printed at the register or sent here as text into the memo.
class TOdczytKopii : public QDialog {
    Q_OBJECT
public:
    enum Page { LastDocument, ByNumbers, ByDates, CacheMemory };

    explicit TOdczytKopii(AppSession& session, QWidget* parent = nullptr);

    // The link the form talks over (the program's own unless a test gives another).
    void setLink(Link& link) { m_link = &link; }

    QTabWidget* pages() const { return m_pages; }
    QPlainTextEdit* memo() const { return m_memo; }
    QLineEdit* numberEdit(int i) const
    {
        return m_numbers[size_t(i)];
    } // first/last report, receipt
    QComboBox* handling(Page p) const { return m_handling[size_t(p)]; }
    QComboBox* scope(Page p) const { return p == ByDates ? m_scopeDates : m_scopeNumbers; }
    QDateEdit* dateFrom() const { return m_dateFrom; }
    QDateEdit* dateTo() const { return m_dateTo; }
    QTimeEdit* timeFrom() const { return m_timeFrom; }
    QTimeEdit* timeTo() const { return m_timeTo; }
    QPushButton* stopButton() const { return m_stop; }

    void Button1Click(); // "Odczytaj"
    // Receives the copy text stream into the memo, appending each piece as it arrives; ends
    // at the end byte, after a silence or when "Przerwij odczyt" or Escape is pressed.
    transfer::CopyReception CzytajDane();

private:
    std::optional<transfer::CopyQuery> query();
    // Runs `body` as the form's run: "Przerwij odczyt" is its stop, enabled only meanwhile.
    void readRun(const std::function<void(TransferRun&)>& body);
    void appendText(const QString& piece);

    AppSession& m_session;
    Link* m_link;
    QTabWidget* m_pages;
    QPlainTextEdit* m_memo;
    std::array<QLineEdit*, 4> m_numbers{};
    std::array<QComboBox*, 4> m_handling{};
    QComboBox* m_scopeNumbers;
    QComboBox* m_scopeDates;
    QDateEdit* m_dateFrom;
    QDateEdit* m_dateTo;
    QTimeEdit* m_timeFrom;
    QTimeEdit* m_timeTo;
    QPushButton* m_read;
    QPushButton* m_stop;
};
