#include "teksportbazy.h"

#include "app/appsession.h"
#include "app/csv/csvexport.h"
#include "app/csv/csvimport.h"
#include "app/forms/formregistry.h"
#include "common/transferui.h"
#include "database/databasesession.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString Filter = QStringLiteral("Pliki CSV (*.csv)");
}

TEksportBazy::TEksportBazy(AppSession& session, QWidget* parent)
    : QDialog(parent), m_session(session)
{
    setWindowTitle(QStringLiteral("Eksport bazy danych"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Eksport bazy do pliku CSV"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    layout->addWidget(
        new QLabel(QStringLiteral("Wybierz bazę, którą chcesz wyeksportować:"), this));

    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("ComboBox1"));
    m_list->setEditable(false);
    for (const csv::TableInfo& t : csv::tables())
        m_list->addItem(t.listItem);
    m_list->setCurrentIndex(0);
    layout->addWidget(m_list);

    m_export = new QPushButton(QStringLiteral("&Eksportuj bazę"), this);
    m_export->setObjectName(QStringLiteral("Button1"));
    m_exportResult = new QLabel(this);
    m_import = new QPushButton(QStringLiteral("&Importuj bazę"), this);
    m_import->setObjectName(QStringLiteral("Button2"));
    m_importResult = new QLabel(this);
    // A file without a byte order mark is recognised by its bytes; the user can say otherwise.
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(QStringLiteral("ComboBox2"));
    m_encoding->setEditable(false);
    m_encoding->addItems({QStringLiteral("Rozpoznaj samoczynnie"), QStringLiteral("UTF-8"),
                          QStringLiteral("cp1250 (Windows)")});
    auto* encodingLabel = new QLabel(QStringLiteral("&Kodowanie importowanego pliku:"), this);
    encodingLabel->setBuddy(m_encoding);

    layout->addWidget(m_export);
    layout->addWidget(m_exportResult);
    layout->addWidget(encodingLabel);
    layout->addWidget(m_encoding);
    layout->addWidget(m_import);
    layout->addWidget(m_importResult);
    // Enter in the list must not press a button by itself.
    m_export->setAutoDefault(false);
    m_import->setAutoDefault(false);

    connect(m_export, &QPushButton::clicked, this, &TEksportBazy::ExportClick);
    connect(m_import, &QPushButton::clicked, this, &TEksportBazy::ImportClick);

    chooseSavePath = [this](const QString& proposed) {
        QFileDialog dialog(this, QString(), QString(), Filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        // The overwrite question is the export's own, with its own text.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.selectFile(proposed);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseOpenPath = [this] {
        QFileDialog dialog(this, QString(), QString(), Filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
}

void TEksportBazy::showEvent(QShowEvent* event)
{
    clearResults();
    QDialog::showEvent(event);
}

void TEksportBazy::clearResults()
{
    m_exportResult->clear();
    m_importResult->clear();
}

void TEksportBazy::ExportClick()
{
    clearResults();
    const auto table = csv::Table(m_list->currentIndex());
    const QString path =
        chooseSavePath(csv::proposedFileName(m_session.session().displayName(), table));
    if (path.isEmpty())
        return;
    const csv::ExportOutcome outcome =
        csv::exportToFile(m_session.session(), table, path, m_session.ui());
    if (outcome.result == csv::ExportResult::Written)
        m_exportResult->setText(outcome.label);
}

void TEksportBazy::ImportClick()
{
    clearResults();
    const QString path = chooseOpenPath();
    if (path.isEmpty())
        return;
    const csv::ImportOutcome outcome = csv::importFromFile(
        m_session.session(), path, m_session.ui(), csv::Encoding(m_encoding->currentIndex()));
    if (!outcome.ok)
        return;
    m_session.markModified();
    m_importResult->setText(outcome.label);
    // How many records went in, what was left out and why, and what deserves a look.
    m_session.ui().showMessage(outcome.summary, outcome.summary.contains(u'\n')
                                                    ? TransferUi::Icon::Warning
                                                    : TransferUi::Icon::Information);
}

VDUNO_REGISTER_FORM(TEksportBazy)
