// The main window's database file: new, open, save, the save prompt before each of them and
// the recent files of the "Plik" menu.
#include "tmenuglowne.h"

#include "app/recentfiles.h"
#include "common/transferui.h"
#include "tnowabaza.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {
const QString SaveQuestion =
    QStringLiteral("Czy chcesz zapisać zmiany w aktualnie edytowanej bazie?");
} // namespace

bool TMenuGlowne::savePrompt()
{
    if (!opstate::hasDatabase(m_app.state()) || !m_session.isModified())
        return true;
    switch (m_ui.ask(SaveQuestion, TransferUi::Buttons::YesNoCancel)) {
    case TransferUi::Answer::Cancel:
        return false;
    case TransferUi::Answer::Yes:
        // A cancelled or failed save does not go on to drop the changes it was to keep.
        return save();
    case TransferUi::Answer::No:
        break;
    }
    return true;
}

void TMenuGlowne::newDatabase()
{
    if (!savePrompt())
        return;
    TNowaBaza dialog(
        m_session.currencySymbol(),
        [this](const QString& name, const QString& symbol) {
            QDir::setCurrent(m_startDirectory);
            const DbResult r = m_session.newDatabase(name, symbol);
            if (r.ok) {
                m_app.setState(opstate::databaseLoaded(m_app.state()));
                m_filePath.clear(); // not saved yet: "Zapisz" asks for the file
            }
            return r;
        },
        [this](const QString& text) { m_ui.showMessage(text, TransferUi::Icon::Error); }, this);
    // The new-database dialog has a runner of its own (the tests fill it in).
    showDialog(&dialog, [this](QDialog& shown) {
        if (runNewDatabaseDialog)
            runNewDatabaseDialog(static_cast<TNowaBaza&>(shown));
        else
            shown.exec();
    });
}

void TMenuGlowne::openDatabaseFile()
{
    if (!savePrompt())
        return;
    const QString path = chooseOpenPath();
    if (path.isEmpty())
        return;
    openPath(path);
}

void TMenuGlowne::openRecentFile(const QString& path)
{
    if (!savePrompt())
        return;
    openPath(path);
}

void TMenuGlowne::openPath(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    const DbResult r = m_session.openDatabaseFile(full);
    if (!r.message.isEmpty())
        m_ui.showMessage(r.message, r.ok ? TransferUi::Icon::Information : TransferUi::Icon::Error);
    if (r.ok) {
        m_app.setState(opstate::databaseLoaded(m_app.state()));
        m_filePath = full;
        rememberFile(full);
    } else if (!QFileInfo::exists(full)) {
        rememberFile(full, false); // gone: no use offering it again
    }
    refreshStatus();
}

bool TMenuGlowne::saveDatabaseFile()
{
    const QString path =
        chooseSavePath(m_filePath.isEmpty() ? m_session.displayName() : m_filePath);
    if (path.isEmpty())
        return false;
    const QString full = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(full) &&
        m_ui.ask(QStringLiteral("Plik ") + QDir::toNativeSeparators(full) +
                     QStringLiteral(" już istnieje. Kontynuować? "),
                 TransferUi::Buttons::YesNo, TransferUi::Icon::Warning) != TransferUi::Answer::Yes)
        return false;
    return saveTo(full);
}

bool TMenuGlowne::save()
{
    // The database's own file is written again without asking; only a database that has
    // never been on disk needs a name.
    return m_filePath.isEmpty() ? saveDatabaseFile() : saveTo(m_filePath);
}

bool TMenuGlowne::saveTo(const QString& full)
{
    const DbResult r = m_session.saveDatabaseFile(full);
    if (!r.message.isEmpty())
        m_ui.showMessage(r.message, r.ok ? TransferUi::Icon::Information : TransferUi::Icon::Error);
    if (r.ok) {
        m_filePath = full;
        rememberFile(full);
    }
    if (!r.ok && !m_session.isLoaded())
        m_app.setState(opstate::databaseDropped(m_app.state()));
    refreshStatus();
    return r.ok;
}

void TMenuGlowne::rememberFile(const QString& path, bool add)
{
    m_recent =
        add ? recentfiles::withFile(m_recent, path) : recentfiles::withoutFile(m_recent, path);
    if (!recentfiles::write(m_settingsDirectory, m_recent) && !m_recentWriteReported) {
        m_recentWriteReported = true;
        m_ui.showMessage(QStringLiteral("Nie mogę zapisać listy ostatnio otwieranych plików do "
                                        "pliku %1.")
                             .arg(QDir(m_settingsDirectory).filePath(recentfiles::FileName)),
                         TransferUi::Icon::Error);
    }
    rebuildRecentMenu();
}

void TMenuGlowne::rebuildRecentMenu()
{
    // Later: the action chosen may be the one that got here.
    for (QAction* old : std::as_const(m_recentActions)) {
        m_fileMenu->removeAction(old);
        old->deleteLater();
    }
    m_recentActions.clear();
    const QList<QAction*> actions = m_fileMenu->actions();
    QAction* before = actions.value(actions.indexOf(m_recentStart) + 1);
    for (qsizetype i = 0; i < m_recent.size(); ++i) {
        const QString path = m_recent[i];
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(u'&', QStringLiteral("&&"));
        auto* a = new QAction(u'&' + QString::number(i + 1) + u' ' + shown, m_fileMenu);
        a->setStatusTip(QDir::toNativeSeparators(path));
        connect(a, &QAction::triggered, this, [this, path] { openRecentFile(path); });
        m_fileMenu->insertAction(before, a);
        m_recentActions.append(a);
    }
}
