#include "tkopiakasy.h"

#include "wholesummary.h"

#include "app/appsession.h"
#include "app/forms/formregistry.h"
#include "app/forms/tmenuglowne.h"
#include "common/transferrun.h"
#include "link/link.h"
#include "transfer/whole/wholebackup.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TKopiaKasy::TKopiaKasy(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_link(&Link::instance())
{
    setObjectName(QStringLiteral("TKopiaKasy"));
    setWindowTitle(QStringLiteral("Kopia kasy do bazy"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(
        QStringLiteral("Wszystkie tabele kasy zostaną odczytane do nowego pliku bazy danych."),
        this));

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("Plik bazy:"), this));
    Plik = new QLineEdit(this);
    Plik->setObjectName(QStringLiteral("Plik"));
    fileRow->addWidget(Plik, 1);
    Wybierz = new QPushButton(QStringLiteral("Wybierz..."), this);
    fileRow->addWidget(Wybierz);
    top->addLayout(fileRow);

    const wholesummary::RunRow run =
        wholesummary::addRunRow(this, top, QStringLiteral("AnulujKopie"));
    Postep = run.progress;
    AnulujKopie = run.cancel;

    Podsumowanie = wholesummary::makeTable(this);
    Podsumowanie->setObjectName(QStringLiteral("Podsumowanie"));
    top->addWidget(Podsumowanie, 1);
    Wynik = new QLabel(this);
    Wynik->setObjectName(QStringLiteral("Wynik"));
    Wynik->setWordWrap(true);
    Wynik->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(Wynik);

    auto* buttons = new QHBoxLayout;
    Wykonaj = new QPushButton(QStringLiteral("&Wykonaj"), this);
    auto* close = new QPushButton(QStringLiteral("&Zamknij"), this);
    for (QPushButton* b : {Wybierz, AnulujKopie, Wykonaj, close})
        b->setAutoDefault(false);
    buttons->addWidget(Wykonaj);
    buttons->addStretch();
    buttons->addWidget(close);
    top->addLayout(buttons);

    connect(Wybierz, &QPushButton::clicked, this, &TKopiaKasy::WybierzClick);
    connect(Wykonaj, &QPushButton::clicked, this, &TKopiaKasy::WykonajClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TKopiaKasy::WybierzClick()
{
    QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Kopia kasy do bazy"),
        Plik->text().isEmpty() ? QDir::currentPath() : Plik->text(),
        QStringLiteral("Baza danych (*.vkf)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".vkf");
    Plik->setText(QDir::toNativeSeparators(path));
}

void TKopiaKasy::WykonajClick()
{
    TransferUi& ui = m_session.ui();
    const QString typed = Plik->text().trimmed();
    if (typed.isEmpty()) {
        ui.showMessage(QStringLiteral("Wybierz plik, do którego zapisać kopię kasy."),
                       TransferUi::Icon::Warning);
        return;
    }
    const QString path = QFileInfo(QDir::fromNativeSeparators(typed)).absoluteFilePath();
    const QString name = QFileInfo(path).fileName();
    const QString extras = wholereg::extrasPath(path);
    if ((QFileInfo::exists(path) || QFileInfo::exists(extras)) &&
        ui.ask(QStringLiteral("Plik ") + QDir::toNativeSeparators(path) +
                   QStringLiteral(" już istnieje. Kontynuować? "),
               TransferUi::Buttons::YesNo, TransferUi::Icon::Warning) != TransferUi::Answer::Yes)
        return;

    wholesummary::clear(Podsumowanie);
    Wynik->clear();
    Postep->setRange(0, 1);
    Postep->setValue(0);
    wholereg::BackupResult result;
    QString error;
    AnulujKopie->setEnabled(true);
    {
        // The form's bar is the run's one progress display, its "Anuluj" the run's stop.
        TransferRun run(ui, {this, AnulujKopie, [this](int done, int total) {
                                 Postep->setRange(0, qMax(total, 1));
                                 Postep->setValue(qBound(0, done, qMax(total, 1)));
                             }});
        result = wholereg::backupToFile(*m_link, run, path, &error);
    }
    AnulujKopie->setEnabled(false);
    wholesummary::addRows(Podsumowanie, result.tables);

    if (!result.complete()) {
        const QString text =
            result.stopped ? QStringLiteral("Przerwano. Nie zapisano pliku ") + name + u'.'
                           : QStringLiteral("Kopia niepełna. Nie zapisano pliku ") + name + u'.';
        Wynik->setText(text);
        ui.showMessage(text, TransferUi::Icon::Warning);
        return;
    }
    if (!error.isEmpty()) {
        Wynik->setText(error);
        ui.showMessage(error, TransferUi::Icon::Error);
        return;
    }
    Postep->setValue(Postep->maximum());
    const QString saved = QStringLiteral("Zapisano ") + QDir::toNativeSeparators(path) +
                          QStringLiteral(" i ") + QFileInfo(extras).fileName() + u'.';
    Wynik->setText(saved);
    // The program's file commands (with their save prompt) belong to the main window.
    auto* window = qobject_cast<TMenuGlowne*>(parentWidget());
    if (window && ui.ask(saved + QStringLiteral("\n\nOtworzyć nową bazę w programie?")) ==
                      TransferUi::Answer::Yes)
        window->openRecentFile(path);
}

VDUNO_REGISTER_FORM(TKopiaKasy)
