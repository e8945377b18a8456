#pragma once

#include "transfer/information.h"

#include <QDialog>

#include <array>

class AppSession;
class Link;
class QGroupBox;
class QLabel;
class QPushButton;

// "Dane informacyjne kasy": fetches the register's information record and shows it.
class TDaneInformacyjne : public QDialog {
    Q_OBJECT
public:
    explicit TDaneInformacyjne(AppSession& session, QWidget* parent = nullptr);

    // The link the form talks over (the program's own unless a test gives another).
    void setLink(Link& link) { m_link = &link; }

    QLabel* valueLabel(transfer::InfoField f) const { return m_values[size_t(f)]; }
    QPushButton* fetchButton() const { return m_fetch; }
    QGroupBox* currencyChangeGroup() const { return m_change; }

    void Button1Click(); // "Pobierz dane informacyjne"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showInformation(const transfer::Information& info);

    AppSession& m_session;
    Link* m_link;
    std::array<QLabel*, transfer::kInfoFieldCount> m_values{};
    std::array<QLabel*, transfer::kInfoFieldCount> m_captions{};
    QLabel* m_wait;
    QGroupBox* m_change;
    QPushButton* m_fetch;
    bool m_fetching = false;
};
