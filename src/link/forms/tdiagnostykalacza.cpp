#include "tdiagnostykalacza.h"

#include "app/forms/formparts.h"
#include "app/forms/formregistry.h"
#include "app/forms/gridfit.h"
#include "app/forms/textfit.h"
#include "link/link.h"
#include "link/portmap.h"
#include "link/portscan.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

const char16_t* const Captions[] = {u"Port",  u"Urządzenie", u"Sterownik", u"USB",
                                    u"Nazwa", u"Grupa",      u"Prawa",     u"/dev/serial/by-id"};
static_assert(std::size(Captions) == TDiagnostykaLacza::ColumnCount);

// A remedy's lines indented by two spaces are commands: they are shown as typed, in the
// fixed font, so that they can be copied whole.
QString remedyHtml(const QString& remedy)
{
    QString html;
    QStringList commands;
    auto flush = [&] {
        if (!commands.isEmpty())
            html += QStringLiteral("<pre style=\"margin-left: 24px; white-space: pre-wrap\">") +
                    commands.join(QLatin1Char('\n')).toHtmlEscaped() + QStringLiteral("</pre>");
        commands.clear();
    };
    for (const QString& line : remedy.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("  "))) {
            commands << line.mid(2);
            continue;
        }
        flush();
        html += QStringLiteral("<p style=\"margin-left: 12px\">") + line.toHtmlEscaped() +
                QStringLiteral("</p>");
    }
    flush();
    return html;
}

// The link's port as the program would open it now.
diagnosis::Configured linkPort()
{
    const Link& link = Link::instance();
    return {link.port, link.device.isEmpty() ? portmap::devicePath(link.port) : link.device};
}

} // namespace

TDiagnostykaLacza::TDiagnostykaLacza(AppSession&, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDiagnostykaLacza"));
    setWindowTitle(QStringLiteral("Diagnostyka łącza"));
    auto* layout = new QVBoxLayout(this);

    layout->addWidget(new QLabel(QStringLiteral("Porty szeregowe tego komputera:"), this));
    SGUrzadzenia = new QTableWidget(0, ColumnCount, this);
    SGUrzadzenia->setObjectName(QStringLiteral("SGUrzadzenia"));
    QStringList captions;
    for (const char16_t* c : Captions)
        captions << QString::fromUtf16(c);
    SGUrzadzenia->setHorizontalHeaderLabels(captions);
    SGUrzadzenia->horizontalHeader()->setStretchLastSection(true);
    formparts::readOnlyRows(SGUrzadzenia);
    fitGridToContents(SGUrzadzenia);
    fitGridMinimumSize(SGUrzadzenia, 3);
    // A computer has a few serial devices: the findings below get the room the window has.
    SGUrzadzenia->setMaximumHeight(SGUrzadzenia->minimumHeight() +
                                   3 * SGUrzadzenia->verticalHeader()->defaultSectionSize());
    layout->addWidget(SGUrzadzenia);

    layout->addWidget(new QLabel(QStringLiteral("Co przeszkadza i co zrobić:"), this));
    MWyniki = new QTextBrowser(this);
    MWyniki->setObjectName(QStringLiteral("MWyniki"));
    MWyniki->setOpenLinks(false);
    MWyniki->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    MWyniki->setMinimumHeight(textBoxSizeFor(MWyniki, MWyniki->document(), QString(), 20).height());
    layout->addWidget(MWyniki, 1);

    auto* buttons = new QHBoxLayout;
    BOdswiez =
        formparts::button(this, QStringLiteral("BOdswiez"), QStringLiteral("&Odśwież"), true);
    BZamknij =
        formparts::button(this, QStringLiteral("BZamknij"), QStringLiteral("&Zamknij"), false);
    buttons->addWidget(BOdswiez);
    buttons->addStretch();
    buttons->addWidget(BZamknij);
    layout->addLayout(buttons);

    connect(BOdswiez, &QPushButton::clicked, this, &TDiagnostykaLacza::BOdswiezClick);
    connect(BZamknij, &QPushButton::clicked, this, &QDialog::reject);
}

void TDiagnostykaLacza::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    BOdswiezClick();
}

void TDiagnostykaLacza::BOdswiezClick()
{
    // A serial device server that does not answer keeps the window waiting a moment.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_report = diagnosis::run(m_roots, m_user ? *m_user : diagnosis::User::ofProcess(),
                              m_configured ? *m_configured : linkPort());
    QGuiApplication::restoreOverrideCursor();
    showDevices();
    showFindings();
}

void TDiagnostykaLacza::showDevices()
{
    SGUrzadzenia->setRowCount(0);
    for (const diagnosis::Device& d : m_report.devices) {
        const int row = SGUrzadzenia->rowCount();
        SGUrzadzenia->insertRow(row);
        const QString cells[ColumnCount] = {d.com ? portscan::portEntry(d.com)
                                                  : QStringLiteral("—"),
                                            d.path,
                                            d.driver,
                                            d.usbId(),
                                            d.product,
                                            d.group,
                                            serialdevices::modeText(d.mode),
                                            d.byId};
        for (int c = 0; c < ColumnCount; ++c)
            SGUrzadzenia->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
}

void TDiagnostykaLacza::showFindings()
{
    if (m_report.findings.isEmpty()) {
        MWyniki->setHtml(QStringLiteral("<p style=\"color: #2e7d32\"><b>") +
                         diagnosis::NothingWrong.toHtmlEscaped() + QStringLiteral("</b></p>"));
        return;
    }
    QString html;
    for (qsizetype i = 0; i < m_report.findings.size(); ++i) {
        const diagnosis::Finding& f = m_report.findings[i];
        html += QStringLiteral("<p><b>%1. ").arg(i + 1) + f.text.toHtmlEscaped() +
                QStringLiteral("</b></p>") + remedyHtml(f.remedy);
    }
    MWyniki->setHtml(html);
}

VDUNO_REGISTER_FORM(TDiagnostykaLacza)
