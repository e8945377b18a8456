#pragma once

#include "service/settings.h"

#include <QDialog>

#include <array>

class AppSession;
class Link;
class QComboBox;
class QLineEdit;

// "Dodatkowe ustawienia": the register's operating settings block, sent in one frame;
// "Odśwież" fills the controls from what the register reports.
class TDodatkoweUstawienia : public QDialog {
    Q_OBJECT
public:
    explicit TDodatkoweUstawienia(AppSession& session, QWidget* parent = nullptr);

    // The link the form talks over (the program's own unless a test gives another).
    void setLink(Link& link) { m_link = &link; }

    // The control of field i: a drop-down or a number field (the other is null).
    QComboBox* choice(int i) const { return m_choices[size_t(i)]; }
    QLineEdit* number(int i) const { return m_numbers[size_t(i)]; }

    service::SettingsValues values() const;
    void setValues(const service::SettingsValues& values);

    void Button1Click(); // "Wyślij"
    void Button2Click(); // "Odśwież"

private:
    AppSession& m_session;
    Link* m_link;
    std::array<QComboBox*, service::kSettingCount> m_choices{};
    std::array<QLineEdit*, service::kSettingCount> m_numbers{};
};
