#include "tnowabaza.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TNowaBaza::TNowaBaza(const QString& symbol, Create create, std::function<void(const QString&)> show,
                     QWidget* parent)
    : QDialog(parent), m_create(std::move(create)), m_show(std::move(show))
{
    setWindowTitle(QStringLiteral("Nowa baza danych"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Podaj nazwę nowej bazy danych:"), this), 0, 0);
    m_name = new QLineEdit(this);
    m_name->setMaxLength(12);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Symbol waluty ewidencyjnej:"), this), 1, 0);
    m_symbol = new QLineEdit(symbol.trimmed(), this);
    m_symbol->setMaxLength(3);
    grid->addWidget(m_symbol, 1, 1);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Anuluj"), this);
    grid->addWidget(m_ok, 2, 0);
    grid->addWidget(cancel, 2, 1);
    connect(m_ok, &QPushButton::clicked, this, &TNowaBaza::okClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TNowaBaza::okClick()
{
    if (m_name->text().isEmpty()) {
        m_name->setFocus();
        return;
    }
    const DbResult r = m_create(m_name->text(), m_symbol->text());
    if (!r.ok) {
        m_show(r.message);
        return;
    }
    accept();
}
