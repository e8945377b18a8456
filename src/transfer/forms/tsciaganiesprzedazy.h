#pragma once

#include "transfer/sales.h"

#include <QDialog>

class AppSession;
class Link;
class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

// "Ściąganie sprzedaży": downloads the register's sales records, lists them, exports them to
// CSV and clears the register's sales (after asking). The form lives as long as the program,
// and with it the last download and the options.
class TSciaganieSprzedazy : public QDialog {
    Q_OBJECT
public:
    explicit TSciaganieSprzedazy(AppSession& session, QWidget* parent = nullptr);

    // The link the form talks over (the program's own unless a test gives another).
    void setLink(Link& link) { m_link = &link; }

    // The last download.
    const transfer::SalesBuffer& sales() const { return m_sales; }

    QListWidget* list() const { return m_list; }
    QCheckBox* nonZeroOnly() const { return m_nonZero; }
    QPushButton* downloadButton() const { return m_download; }
    QPushButton* clearButton() const { return m_clear; }
    QLabel* counter() const { return m_counter; }
    QPushButton* panelCancel() const { return m_stop; }

    void Button1Click(); // "Ściągnij &sprzedaż"
    void Button2Click(); // "&Kasuj sprzedaż"
    // False (and the file that was there left as it was) when it cannot be written.
    bool exportCsv(const QString& path);

private:
    void fillList();
    void exportClick();

    AppSession& m_session;
    Link* m_link;
    transfer::SalesBuffer m_sales;
    QListWidget* m_list;
    QCheckBox* m_nonZero;
    QPushButton* m_download;
    QPushButton* m_clear;
    QFrame* m_panel;
    QLabel* m_counter;
    QPushButton* m_stop;
};
