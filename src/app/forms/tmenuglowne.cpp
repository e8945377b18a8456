#include "tmenuglowne.h"

#include "app/connection.h"
#include "app/recentfiles.h"
#include "common/transferrun.h"
#include "common/transferui.h"
#include "formregistry.h"
#include "link/diagnosis.h"
#include "link/forms/tpokazbuforodb.h"
#include "link/forms/tustawieniatrans.h"
#include "link/forms/twyszukiwaniekasyrs.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

#ifndef VDUNO_VERSION
#define VDUNO_VERSION "?"
#endif

namespace {
// The link diagnosis, a registered form: offered where a search finds no register.
const char* const DiagnosisForm = "TDiagnostykaLacza";

const QString RecoveryQuestion =
    QStringLiteral("Program nie został poprawnie zakończony. Czy przywrócić niezapisane zmiany "
                   "w bazie %1?");

// The connect button's picture: a register's plug with its cable.
QIcon connectIcon()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(4, 40, 16, 28);
    p.setBrush(QColor(0x2e, 0x7d, 0x32));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(14, 12, 20, 20), 4, 4);
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(30, 14, 40, 4);
    p.drawLine(34, 18, 44, 8);
    return QIcon(pixmap);
}
} // namespace

QString TMenuGlowne::aboutText()
{
    return QStringLiteral("Vorn Duno Serwis\nWersja ") + QLatin1String(VDUNO_VERSION) +
           QStringLiteral("\n\nKonfiguracja i serwis kas fiskalnych Vorn Duno:\nDUNO i DUNO BIS");
}

TMenuGlowne::TMenuGlowne(TransferUi& ui, const QString& startDirectory, const QString& workingCopy,
                         QWidget* parent, Link* link, const QString& settingsDirectory)
    : QMainWindow(parent), m_ui(ui), m_startDirectory(startDirectory),
      m_settingsDirectory(settingsDirectory.isEmpty() ? startDirectory : settingsDirectory),
      m_link(link ? *link : Link::instance()), m_session(workingCopy), m_app(m_session, ui)
{
    setWindowTitle(QStringLiteral("Vorn Duno"));
    setFixedSize(912, 590);
    m_recent = recentfiles::read(m_settingsDirectory);
    buildMenus();
    buildPanels();

    chooseOpenPath = [this] {
        return QFileDialog::getOpenFileName(this, QString(), QString(),
                                            QStringLiteral("Plik bazy danych (*.vkf)"));
    };
    chooseSavePath = [this](const QString& proposed) {
        QFileDialog dialog(this, QStringLiteral("Zapisz bazę danych do pliku"), QString(),
                           QStringLiteral("Baza danych Vorn Duno (*.vkf)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("vkf"));
        // The overwrite question is asked by the window itself, with its own text.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.selectFile(proposed);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseTracePath = [this] {
        return QFileDialog::getSaveFileName(
            this, QStringLiteral("Zapis ramek do pliku"),
            QDir(m_startDirectory).filePath(QStringLiteral("ramki.txt")),
            QStringLiteral("Plik tekstowy (*.txt)"));
    };

    m_port = settingsfile::read(m_settingsDirectory);
    connection::loadSettings(m_port, m_app, m_link);
    m_session.setDisplayName(DatabaseSession::WorkingCopyName);
    // A copy that did not end normally left its unsaved changes in the working copy.
    bool restored = false;
    if (const DatabaseSession::Recovery rec = m_session.recoverableWorkingCopy();
        rec.available && m_ui.ask(RecoveryQuestion.arg(rec.displayName), TransferUi::Buttons::YesNo,
                                  TransferUi::Icon::Warning) == TransferUi::Answer::Yes)
        restored = m_session.restoreWorkingCopy().ok;
    if (restored || m_session.startUp().ok)
        m_app.setState(opstate::databaseLoaded(m_app.state()));
    m_app.changed = [this] { refreshStatus(); };
    rebuildRecentMenu();
    refreshStatus();
}

QString TMenuGlowne::titleFor(const QString& displayName)
{
    return QStringLiteral("Vorn Duno \u2013 ") + displayName + QStringLiteral("[*]");
}

void TMenuGlowne::buildMenus()
{
    QMenu* file = m_fileMenu = menuBar()->addMenu(QStringLiteral("Plik"));
    QAction* newDb =
        file->addAction(QStringLiteral("Nowa baza danych"), this, &TMenuGlowne::newDatabase);
    newDb->setShortcut(QKeySequence::New);
    QAction* openDb = file->addAction(QStringLiteral("Otwórz plik bazy danych"), this,
                                      &TMenuGlowne::openDatabaseFile);
    openDb->setShortcut(QKeySequence::Open);
    QAction* quickSave = file->addAction(QStringLiteral("Zapisz"), this, [this] { save(); });
    quickSave->setShortcut(QKeySequence::Save);
    QAction* saveDb = file->addAction(QStringLiteral("Zapisz bazę danych do pliku"), this,
                                      [this] { saveDatabaseFile(); });
    saveDb->setShortcut(QKeySequence::SaveAs);
    // The recent files go between these two separators (rebuildRecentMenu).
    m_recentStart = file->addSeparator();
    file->addSeparator();
    file->addAction(QStringLiteral("Koniec"), this, &QWidget::close);

    QMenu* comm = menuBar()->addMenu(QStringLiteral("Komunikacja"));
    comm->addAction(QStringLiteral("Parametry transmisji"), this, &TMenuGlowne::showPortSettings);
    comm->addAction(QStringLiteral("Wyszukiwanie podłączonych kas"), this,
                    &TMenuGlowne::showRegisterScan);
    comm->addAction(QStringLiteral("Połącz z kasą używając ostatnich ustawień"), this,
                    &TMenuGlowne::connectWithStoredSettings);
    comm->addSeparator();
    comm->addAction(QStringLiteral("Diagnostyka łącza"), this, [this] { openForm(DiagnosisForm); })
        ->setEnabled(FormRegistry::find(DiagnosisForm) != nullptr);
    comm->addAction(QStringLiteral("Podgląd bufora odbiorczego"), this,
                    &TMenuGlowne::showReceiveArea);
    m_traceAction = comm->addAction(QStringLiteral("Zapis ramek do pliku"));
    m_traceAction->setCheckable(true);
    connect(m_traceAction, &QAction::triggered, this, &TMenuGlowne::setFrameTrace);

    // Register functions that have no item of their own in the navigation area.
    QMenu* service = menuBar()->addMenu(QStringLiteral("Serwis"));
    struct ServiceItem {
        const char16_t* title;
        const char* formClass;
        bool needsRegister;
    };
    static const ServiceItem serviceItems[] = {
        {u"Odczyt kopii", "TOdczytKopii", true},
        {u"Kopia pamięci podręcznej", "TKopiaPamieciPodrecznej", true},
        {u"Programowanie hasła kierownika", "TProgramowanieHaslaKierownika", true},
        {u"Zestaw raportów", "TProgramowanieZestawuRaportow", false},
    };
    for (const ServiceItem& item : serviceItems) {
        service->addAction(QString::fromUtf16(item.title), this,
                           [this, &item] { openForm(item.formClass); });
    }
    connect(service, &QMenu::aboutToShow, this, [this, service] {
        const auto actions = service->actions();
        for (qsizetype i = 0; i < actions.size(); ++i) {
            const ServiceItem& item = serviceItems[i];
            const bool stateOk = item.needsRegister ? m_app.online() : m_app.hasDatabase();
            actions[i]->setEnabled(stateOk && FormRegistry::find(item.formClass) != nullptr);
        }
    });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Pomoc"));
    help->addAction(QStringLiteral("O programie"), this, [this] {
        QMessageBox::about(this, QStringLiteral("O programie"), aboutText());
    });

    QToolBar* bar = addToolBar(QStringLiteral("Plik"));
    bar->setMovable(false);
    bar->setIconSize(QSize(32, 32));
    const struct {
        QAction* action;
        const char16_t* hint;
    } tools[] = {
        {newDb, u"Nowa baza danych"}, {openDb, u"Otwórz bazę danych"}, {quickSave, u"Zapisz"}};
    for (const auto& t : tools) {
        QAction* a = bar->addAction(t.action->text());
        a->setToolTip(QString::fromUtf16(t.hint));
        a->setStatusTip(QString::fromUtf16(t.hint));
        connect(a, &QAction::triggered, t.action, &QAction::trigger);
    }

    // The connect button, picture only, at the right end of the toolbar.
    auto* spacer = new QWidget(bar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    m_connectAction = bar->addAction(connectIcon(), QString());
    m_connectAction->setToolTip(QStringLiteral("Wyszukaj kasę i połącz"));
    m_connectAction->setObjectName(QStringLiteral("connectButton"));
    connect(m_connectAction, &QAction::triggered, this, [this] { automaticSearch(); });
}

void TMenuGlowne::buildPanels()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto* status = new QFrame(central);
    status->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(status);
    grid->addWidget(new QLabel(QStringLiteral("Typ kasy:"), status), 0, 0);
    m_typeLabel = new QLabel(status);
    grid->addWidget(m_typeLabel, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Status:"), status), 1, 0);
    m_none = new QLabel(QStringLiteral("BRAK"), status);
    m_online = new QLabel(QStringLiteral("ONLINE"), status);
    m_online->setStyleSheet(QStringLiteral("color: green; font-weight: bold"));
    m_offline = new QLabel(QStringLiteral("OFFLINE"), status);
    m_offline->setStyleSheet(QStringLiteral("color: navy; font-weight: bold"));
    grid->addWidget(m_none, 1, 1);
    grid->addWidget(m_online, 1, 1);
    grid->addWidget(m_offline, 1, 1);
    m_typeLabel->setStyleSheet(QStringLiteral("font-weight: bold"));
    m_picture = new QLabel(QStringLiteral("\u25CF"), status);
    m_picture->setStyleSheet(QStringLiteral("color: #2e7d32; font-size: 28px"));
    m_picture->setToolTip(QStringLiteral("Kasa połączona"));
    grid->addWidget(m_picture, 0, 2, 2, 1);
    grid->setColumnMinimumWidth(1, 90);
    grid->setColumnStretch(3, 1);
    layout->addWidget(status);

    auto* info = new QHBoxLayout;
    info->addWidget(new QLabel(QStringLiteral("Waluta ewidencyjna:"), central));
    m_currency = new QLabel(central);
    m_currency->setStyleSheet(QStringLiteral("font-weight: bold"));
    info->addWidget(m_currency);
    info->addSpacing(30);
    info->addWidget(new QLabel(QStringLiteral("Nazwa pliku bazy:"), central));
    m_fileName = new QLabel(central);
    m_fileName->setStyleSheet(QStringLiteral("font-weight: bold; color: navy"));
    info->addWidget(m_fileName);
    info->addStretch();
    layout->addLayout(info);

    auto* articles = new QPushButton(QStringLiteral("Programowanie towarow"), central);
    articles->setEnabled(FormRegistry::find("TProgramowanieTowarow") != nullptr);
    connect(articles, &QPushButton::clicked, this, [this] { openForm("TProgramowanieTowarow"); });
    layout->addWidget(articles);

    m_searchPanel = new QFrame(central);
    auto* sp = new QVBoxLayout(m_searchPanel);
    sp->addWidget(new QLabel(
        QStringLiteral("Trwa wyszukiwanie kas VORN DUNO podłączonych do tego komputera..."),
        m_searchPanel));
    auto* searchRow = new QHBoxLayout;
    m_searchPort = new QLabel(m_searchPanel);
    m_searchCancel = new QPushButton(QStringLiteral("Anuluj"), m_searchPanel);
    m_searchCancel->setAutoDefault(false);
    searchRow->addWidget(m_searchPort);
    searchRow->addStretch();
    searchRow->addWidget(m_searchCancel);
    sp->addLayout(searchRow);
    m_searchPanel->hide();
    layout->addWidget(m_searchPanel);

    // The navigation area is shown, so that the window reaches every function.
    m_tabs = new QTabWidget(central);
    for (int t = 0; t < 3; ++t) {
        const NavTab tab = NavTab(t);
        auto* list = new QListWidget(m_tabs);
        const auto items = navigationItems(tab);
        for (const NavItem& item : items) {
            auto* row = new QListWidgetItem(QString::fromUtf16(item.text), list);
            if (!FormRegistry::find(item.formClass))
                row->setFlags(row->flags() & ~Qt::ItemIsEnabled);
        }
        connect(list, &QListWidget::itemDoubleClicked, this, [this] { openSelectedItem(); });
        m_lists[t] = list;
        m_tabs->addTab(list, navigationTabTitle(tab));
    }
    m_tabs->setCurrentIndex(1);
    layout->addWidget(m_tabs, 1);
    setCentralWidget(central);
}

void TMenuGlowne::refreshStatus()
{
    const StatusView v = statusView(m_app.state(), m_app.registerType());
    m_online->setVisible(v.onlineVisible);
    m_offline->setVisible(v.offlineVisible);
    m_none->setVisible(!v.onlineVisible && !v.offlineVisible);
    m_picture->setVisible(v.pictureVisible);
    m_typeLabel->setText(v.typeLabel);
    m_fileName->setVisible(v.nameVisible);
    if (v.nameVisible) {
        m_fileName->setText(m_session.displayName());
        m_currency->setText(m_session.currencySymbol());
        setWindowTitle(titleFor(m_session.displayName()));
        setWindowModified(m_session.isModified());
    } else {
        setWindowTitle(QStringLiteral("Vorn Duno"));
        setWindowModified(false);
    }
}

void TMenuGlowne::openSelectedItem()
{
    const int t = m_tabs->currentIndex();
    QListWidgetItem* row = m_lists[t]->currentItem();
    if (!row || !(row->flags() & Qt::ItemIsEnabled))
        return;
    const NavTab tab = NavTab(t);
    const int index = m_lists[t]->row(row);
    const NavDecision d = navigationDecision(tab, index, m_app.state());
    if (d.action == NavAction::Refuse) {
        m_ui.showMessage(d.message);
        return;
    }
    if (d.action != NavAction::Open)
        return;
    const NavItem& item = navigationItems(tab)[size_t(index)];
    openForm(item.formClass);
}

QDialog* TMenuGlowne::form(const char* className)
{
    const auto it = m_forms.find(className);
    if (it != m_forms.end())
        return it->second;
    const FormFactory* f = FormRegistry::find(className);
    if (!f)
        return nullptr;
    QDialog* made = (*f)(m_app, this);
    m_forms.emplace(className, made);
    return made;
}

void TMenuGlowne::openForm(const char* className)
{
    showDialog(form(className));
}

void TMenuGlowne::showDialog(QDialog* dialog, const std::function<void(QDialog&)>& run)
{
    if (dialog && run)
        run(*dialog);
    else if (dialog && runDialog)
        runDialog(*dialog);
    else if (dialog)
        dialog->exec();
    refreshStatus();
}

void TMenuGlowne::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openSelectedItem();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        if (m_ui.ask(QStringLiteral("Czy na pewno chcesz opuścić program?")) ==
            TransferUi::Answer::Yes)
            close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TMenuGlowne::closeEvent(QCloseEvent* event)
{
    if (!savePrompt()) {
        event->ignore();
        return;
    }
    writeSettings();
    event->accept();
}

PortSettings TMenuGlowne::portSettings() const
{
    return connection::currentSettings(m_port, m_app, m_link);
}

void TMenuGlowne::writeSettings()
{
    QDir::setCurrent(m_startDirectory);
    const PortSettings settings = portSettings();
    m_link.closePort();
    if (!settingsfile::write(m_settingsDirectory, settings))
        m_ui.showMessage(QStringLiteral("Nie mogę zapisać ustawień portu do pliku %1.")
                             .arg(QDir(m_settingsDirectory).filePath(settingsfile::FileName)),
                         TransferUi::Icon::Error);
}

bool TMenuGlowne::automaticSearch()
{
    connection::SearchHooks hooks;
    hooks.showPanel = [this] {
        m_searchPort->clear();
        m_searchPanel->show();
        m_searchPanel->repaint();
    };
    hooks.hidePanel = [this] { m_searchPanel->hide(); };
    hooks.refresh = [this] { refreshStatus(); };
    hooks.trying = [this](int port) {
        m_searchPort->setText(portscan::portLabel(port));
        m_searchPanel->repaint();
    };
    // Where the diagnosis is built in, the message offers it in the same box.
    if (FormRegistry::find(DiagnosisForm))
        hooks.nothingFound = [this](const QString& message) {
            m_searchPanel->hide();
            if (m_ui.ask(message + QLatin1Char(' ') + diagnosis::OfferQuestion,
                         TransferUi::Buttons::YesNo,
                         TransferUi::Icon::Warning) == TransferUi::Answer::Yes)
                m_openDiagnosis = true;
        };
    bool found = false;
    bool stopped = false;
    int done = 0;
    int total = 0;
    {
        // The search is the window's run: the panel's "Anuluj" (or Escape) stops it, and the
        // panel shows the port being tried instead of a progress window.
        TransferRun run(m_ui, {this, m_searchCancel, [](int, int) {}});
        found = connection::automaticSearch(m_app, m_link, run, hooks);
        stopped = run.stopRequested();
        done = run.done();
        total = run.total();
    }
    m_searchPanel->hide();
    if (stopped && !found)
        m_ui.showMessage(stoppedReadText(done, total), TransferUi::Icon::Warning);
    // Opened once the search's run has ended and the window is its own again.
    if (std::exchange(m_openDiagnosis, false))
        openForm(DiagnosisForm);
    return found;
}

void TMenuGlowne::connectWithStoredSettings()
{
    const bool chosen = m_link.portChosen();
    const bool open = connection::connectWithStoredSettings(m_app, m_link);
    if (!chosen || open)
        refreshStatus();
}

template <class Dialog> void TMenuGlowne::showLinkDialog()
{
    Dialog dialog(m_app, m_link, this);
    showDialog(&dialog);
}

void TMenuGlowne::showPortSettings()
{
    showLinkDialog<TUstawieniaTrans>();
}

void TMenuGlowne::showRegisterScan()
{
    TWyszukiwanieKasyRS dialog(m_app, m_link, this);
    if (FormRegistry::find(DiagnosisForm))
        dialog.showDiagnosis = [this] { openForm(DiagnosisForm); };
    showDialog(&dialog);
}

void TMenuGlowne::showReceiveArea()
{
    showLinkDialog<TPokazBuforOdb>();
}

void TMenuGlowne::setFrameTrace(bool on)
{
    m_link.trace = {};
    m_trace.close();
    if (on) {
        const QString path = chooseTracePath();
        QString error;
        if (!path.isEmpty() && m_trace.open(path, &error))
            // Told on the window's thread, whichever thread the run that wrote is on.
            m_link.trace = m_trace.hook([this](const QString& message) {
                QMetaObject::invokeMethod(
                    this, [this, message] { m_ui.showMessage(message, TransferUi::Icon::Error); },
                    Qt::QueuedConnection);
            });
        else if (!path.isEmpty())
            m_ui.showMessage(error, TransferUi::Icon::Error);
    }
    m_traceAction->setChecked(m_trace.isOpen());
}

void TMenuGlowne::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        refreshStatus();
    QMainWindow::changeEvent(event);
}
