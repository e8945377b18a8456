#include "tdodatkoweustawienia.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "link/link.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace service;

TDodatkoweUstawienia::TDodatkoweUstawienia(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance())
{
    setObjectName(QStringLiteral("TDodatkoweUstawienia"));
    setWindowTitle(QStringLiteral("Dodatkowe ustawienia"));
    auto* top = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const auto& fields = settingFields();
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingField& f = fields[size_t(i)];
        if (f.kind == SettingKind::Choice) {
            auto* box = new QComboBox(this);
            box->addItems(f.items);
            m_choices[size_t(i)] = box;
            form->addRow(f.caption, box);
        } else {
            auto* edit = new QLineEdit(this);
            edit->setMaxLength(f.maxChars);
            m_numbers[size_t(i)] = edit;
            form->addRow(f.caption, edit);
        }
    }
    top->addLayout(form);
    auto* buttons = new QHBoxLayout;
    auto* send = new QPushButton(QStringLiteral("Wyślij"), this);
    auto* refresh = new QPushButton(QStringLiteral("Odśwież"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Anuluj"), this);
    buttons->addWidget(send);
    buttons->addWidget(refresh);
    buttons->addStretch();
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(send, &QPushButton::clicked, this, &TDodatkoweUstawienia::Button1Click);
    connect(refresh, &QPushButton::clicked, this, &TDodatkoweUstawienia::Button2Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

SettingsValues TDodatkoweUstawienia::values() const
{
    SettingsValues v;
    for (int i = 0; i < kSettingCount; ++i) {
        if (m_choices[size_t(i)])
            v.choice[size_t(i)] = m_choices[size_t(i)]->currentIndex();
        else
            v.number[size_t(i)] = m_numbers[size_t(i)]->text();
    }
    return v;
}

void TDodatkoweUstawienia::setValues(const SettingsValues& v)
{
    for (int i = 0; i < kSettingCount; ++i) {
        if (m_choices[size_t(i)])
            m_choices[size_t(i)]->setCurrentIndex(v.choice[size_t(i)]);
        else
            m_numbers[size_t(i)]->setText(v.number[size_t(i)]);
    }
}

void TDodatkoweUstawienia::Button1Click()
{
    sendSettings(*m_link, m_session.ui(), values());
}

void TDodatkoweUstawienia::Button2Click()
{
    SettingsValues v = values();
    if (readSettings(*m_link, m_session.ui(), v))
        setValues(v);
}

VDUNO_REGISTER_FORM(TDodatkoweUstawienia)
