#pragma once

#include "registerdatabase.h"

#include <QString>

// The outcome of a lifecycle step: the text to show (empty when there is none) and whether
// the step did what it was asked.
struct DbResult {
    bool ok = false;
    QString message;
};

// Where the working copy lives: a directory of this user only ("vorn-duno-<uid>", 0700) under
// "TEMP" when it names an existing directory, otherwise (or when the one under TEMP is not
// safe) under the system temporary directory; empty when neither can be had.
QString temporaryDirectory();

// The register database between disk and the program: the working copy, new, open (with the
// version-1 conversion), save, and the flags the main window shows. It shows nothing itself;
// the caller shows DbResult::message.
class DatabaseSession {
public:
    // An empty path puts the working copy at temporaryDirectory() + "/BDTemp.bdt" (what the
    // program uses); the command line and the tests pass a private path.
    explicit DatabaseSession(const QString& workingCopyPath = QString());
    // A normal end of the program: unsaved changes were given up at the close query, so
    // the next start offers nothing to restore.
    ~DatabaseSession();
    DatabaseSession(const DatabaseSession&) = delete;
    DatabaseSession& operator=(const DatabaseSession&) = delete;

    static inline const QString WorkingCopyName = QStringLiteral("BDTemp.bdt");

    RegisterDatabase& database() { return m_db; }
    const RegisterDatabase& database() const { return m_db; }
    bool isLoaded() const { return m_db.isOpen(); }

    // The working copy path; empty when no temporary directory could be had.
    QString workingCopyPath() const;

    // A new working copy with the default records and the current accounting currency
    // symbol. Failure: "Nie udało się utworzyć nowej bazy"; the database in use stays loaded.
    DbResult createWorkingDatabase();

    // The database created at start-up: display name "Bez nazwy", symbol "PLN", not modified.
    DbResult startUp();

    // "OK" of the new-database dialog with a non-empty name: symbol padded to 3, the name
    // as display name, create; success sets the modified flag. A symbol with characters outside
    // cp1250 is refused ("Pole „Symbol waluty ewidencyjnej” ...") and nothing changes.
    DbResult newDatabase(const QString& name, const QString& symbol);

    // Reads the chosen file (never writes it), converting a version-1 file. A missing,
    // unreadable or wrongly sized file is refused and the loaded database stays as it was.
    DbResult openDatabaseFile(const QString& path);

    // Writes the whole 205,000-byte file with the version-2 magic through a temporary file
    // beside the target that replaces it only when complete.
    DbResult saveDatabaseFile(const QString& path);
    // The bytes that save writes: the 205,000-byte file with the version-2 magic.
    QByteArray fileBytes() const;

    // Grows each time another database is loaded into the working copy (new, open, restore):
    // a form that keeps what was typed into it starts again from the file when it changed.
    int generation() const { return m_generation; }

    bool isModified() const { return m_modified; }
    // While the working copy holds unsaved changes a marker file lies beside it (its display
    // name and symbol), so that a crash of the program does not lose them.
    void setModified(bool modified = true);

    // Unsaved changes left behind by a program that did not end normally.
    struct Recovery {
        bool available = false;
        QString displayName;
        QString symbol;
    };
    Recovery recoverableWorkingCopy() const;
    // Takes up the working copy left behind as it is: display name and symbol from the
    // marker, modified flag set. Fails (nothing loaded) when it is missing or unreadable.
    DbResult restoreWorkingCopy();
    // Marker file of the working copy (empty without a temporary directory).
    QString markerPath() const;
    QString displayName() const { return m_displayName; }
    void setDisplayName(const QString& name);

    QString currencySymbol() const { return m_symbol; }
    // Pads on the left with spaces to 3 characters ("EU" -> " EU").
    void setCurrencySymbol(const QString& symbol);
    static QString paddedSymbol(const QString& symbol);

    // The bytes of a new database's working copy (200,021 bytes).
    static QByteArray newWorkingCopy(const QString& symbol);
    // The version-2 working copy made from a file's bytes (converted when version 1).
    static QByteArray convertedWorkingCopy(const QByteArray& file);

private:
    void writeMarker() const;

    RegisterDatabase m_db;
    QString m_workingCopyPath;
    QString m_displayName;
    QString m_symbol = QStringLiteral("PLN");
    bool m_modified = false;
    int m_generation = 0;
};
