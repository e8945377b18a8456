#include "database/databasesession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include "filesizelimit.h"

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// String literals keep their embedded bytes 0: the array length counts, not the first 0.
template <std::size_t N> void put(QByteArray& data, int offset, const char (&bytes)[N])
{
    for (std::size_t i = 0; i + 1 < N; ++i)
        data[offset + int(i)] = bytes[i];
}

void put(QByteArray& data, int offset, const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i)
        data[offset + i] = bytes[i];
}

// The 205,000 bytes of a new database with symbol `symbol`, laid out by hand.
QByteArray expectedNewFile(const char* symbol)
{
    QByteArray d(205000, '\0');
    put(d, 0, "VORN_DUNO_V_2_00    \x01");
    put(d, 141560, QByteArray("\x01Kierownik", 10)); // cashier 1
    put(d, 141582, "7395\x01\x01\x01\x01\x01\x01\x01");
    put(d, 144573, "\x01Grupa podstawowa"); // group 1
    put(d, 145032, QByteArray(symbol));
    put(d, 143280,
        "A\xFC\x08"
        "B\x20\x03"
        "C\x00\x00"
        "D\xF4\x01"
        "E\xFE\xFF"
        "F\xFE\xFF"
        "G\xFF\xFF");
    put(d, 149060,
        QByteArray("\x00\x00\x00\x00"
                   "\x64\x00\x00\x00"
                   "\xC8\x00\x00\x00"
                   "\xF4\x01\x00\x00"
                   "\xE8\x03\x00\x00"
                   "\xD0\x07\x00\x00"
                   "\xB8\x0B\x00\x00"
                   "\x88\x13\x00\x00"
                   "\x10\x27\x00\x00"
                   "\x50\xC3\x00\x00",
                   40));
    return d;
}

// A version-1 file: article n holds bytes (n + i) & 0xFF; byte 139000 + k holds k % 251 + 1.
QByteArray versionOneFile()
{
    QByteArray d(205000, '\0');
    put(d, 0, "VORN_DUNO_V_1_00    \x01");
    for (int n = 0; n < 2000; ++n)
        for (int i = 0; i < 67; ++i)
            d[5000 + n * 67 + i] = char((n + i) & 0xFF);
    for (int k = 0; k < 66000; ++k)
        d[139000 + k] = char(k % 251 + 1);
    return d;
}

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString working() const { return file("BDTemp.bdt"); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SessionTest, StartUpCreatesTheWorkingCopyUnmodified)
{
    DatabaseSession s(working());
    EXPECT_FALSE(s.isLoaded());
    const DbResult r = s.startUp();
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_TRUE(s.isLoaded());
    EXPECT_FALSE(s.isModified());
    EXPECT_EQ(s.displayName(), QStringLiteral("Bez nazwy"));
    EXPECT_EQ(s.currencySymbol(), QStringLiteral("PLN"));
    const QByteArray w = fileBytes(working());
    EXPECT_EQ(w.size(), 200021);
    EXPECT_EQ(w, expectedNewFile("PLN").left(200021));
}

TEST_F(SessionTest, NewDatabaseSavedAtOnceIsTheDefaultFile)
{
    DatabaseSession s(working());
    const DbResult r = s.newDatabase(QStringLiteral("sklep"), QStringLiteral("EU"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(s.currencySymbol(), QStringLiteral(" EU"));
    EXPECT_EQ(s.displayName(), QStringLiteral("sklep"));
    EXPECT_TRUE(s.isModified());

    const QString out = file("sklep.vkf");
    const DbResult saved = s.saveDatabaseFile(out);
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.message, QStringLiteral("Zapisano plik ") + out);
    EXPECT_EQ(fileBytes(out), expectedNewFile(" EU"));
    EXPECT_FALSE(s.isModified());
    EXPECT_EQ(s.displayName(), QStringLiteral("sklep.vkf"));
    // No temporary file is left beside the target.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(SessionTest, NewDatabaseOverwritesALongerWorkingCopy)
{
    QByteArray stale(207000, '\x77');
    ASSERT_TRUE(writeFile(working(), stale));
    DatabaseSession s(working());
    ASSERT_TRUE(s.newDatabase(QStringLiteral("x"), QStringLiteral("PLN")).ok);
    EXPECT_EQ(fileBytes(working()), expectedNewFile("PLN").left(200021));
}

TEST_F(SessionTest, EditsBetweenSavesAppearInTheSecond)
{
    DatabaseSession s(working());
    ASSERT_TRUE(s.startUp().ok);
    const QString out = file("a.vkf");
    ASSERT_TRUE(s.saveDatabaseFile(out).ok);
    s.database().writeByteAt(141000, 1);
    s.database().writePaddedTextHere(QStringLiteral("Rabat"), '\0', 10);
    s.database().writeByteAt(204999, 0x42); // beyond the created copy's end
    s.setModified();
    const DbResult r = s.saveDatabaseFile(out);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.message, QStringLiteral("Zapisano plik ") + out);
    QByteArray expected = expectedNewFile("PLN");
    put(expected, 141000, QByteArray("\x01Rabat\0\0\0\0\0", 11));
    expected[204999] = 0x42;
    EXPECT_EQ(fileBytes(out), expected);
    EXPECT_FALSE(s.isModified());
}

TEST_F(SessionTest, VersionOneFileIsConverted)
{
    const QByteArray v1 = versionOneFile();
    const QString in = file("old.vkf");
    ASSERT_TRUE(writeFile(in, v1));
    DatabaseSession s(working());
    const DbResult r = s.openDatabaseFile(in);
    ASSERT_TRUE(r.ok) << qPrintable(r.message);
    EXPECT_EQ(s.displayName(), QStringLiteral("old.vkf"));
    EXPECT_FALSE(s.isModified());
    EXPECT_EQ(fileBytes(in), v1); // the chosen file is only read

    const QByteArray w = fileBytes(working());
    ASSERT_EQ(w.size(), 207000);
    EXPECT_EQ(w.left(16), QByteArray("VORN_DUNO_V_1_00")); // until saved
    for (int n : {0, 1, 999, 1999}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(w.mid(5000 + n * 68, 67), v1.mid(5000 + n * 67, 67));
        EXPECT_EQ(w.at(5000 + n * 68 + 67), '\0');
    }
    EXPECT_EQ(w.mid(141000), v1.mid(139000)); // discounts and every later table

    const QString out = file("new.vkf");
    ASSERT_TRUE(s.saveDatabaseFile(out).ok);
    const QByteArray saved = fileBytes(out);
    ASSERT_EQ(saved.size(), 205000);
    EXPECT_EQ(saved.left(16), QByteArray("VORN_DUNO_V_2_00"));
    EXPECT_EQ(saved.mid(16), w.mid(16, 205000 - 16));
}

TEST_F(SessionTest, OtherMagicIsCopiedUnchanged)
{
    QByteArray other = versionOneFile();
    put(other, 0, "SOMETHING_ELSE!!");
    const QString in = file("other.vkf");
    ASSERT_TRUE(writeFile(in, other));
    DatabaseSession s(working());
    ASSERT_TRUE(s.openDatabaseFile(in).ok);
    EXPECT_EQ(fileBytes(working()), other);
}

TEST_F(SessionTest, RefusedOpensLeaveTheLoadedDatabase)
{
    ASSERT_TRUE(writeFile(file("short.vkf"), QByteArray(204999, 'a')));
    ASSERT_TRUE(writeFile(file("long.vkf"), QByteArray(205001, 'a')));
    ASSERT_TRUE(writeFile(file("empty.vkf"), QByteArray()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.vkf")));
    struct Case {
        const char* name;
        QString message;
    };
    const QString wrongSize =
        QStringLiteral(" nie jest bazą danych Vorn Duno (zła długość pliku).");
    const Case cases[] = {
        {"missing.vkf", QStringLiteral(" nie istnieje.")},
        {"short.vkf", wrongSize},
        {"long.vkf", wrongSize},
        {"empty.vkf", wrongSize},
        {"folder.vkf", QString()},
    };
    DatabaseSession s(working());
    ASSERT_TRUE(s.startUp().ok);
    s.database().writeByteAt(141000, 3);
    s.setModified();
    const QByteArray before = fileBytes(working());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = file(c.name);
        const QByteArray original = fileBytes(path);
        const DbResult r = s.openDatabaseFile(path);
        EXPECT_FALSE(r.ok);
        if (c.message.isEmpty())
            EXPECT_EQ(r.message, QStringLiteral("Nie mogę odczytać pliku ") + path);
        else
            EXPECT_EQ(r.message, QStringLiteral("Plik ") + path + c.message);
        EXPECT_TRUE(s.isLoaded());
        EXPECT_TRUE(s.isModified());
        EXPECT_EQ(s.displayName(), QStringLiteral("Bez nazwy"));
        EXPECT_EQ(fileBytes(working()), before);
        EXPECT_EQ(s.database().readByteAt(141000), 3);
        EXPECT_EQ(fileBytes(path), original);
    }
    EXPECT_FALSE(QFileInfo::exists(file("missing.vkf"))); // never created
}

TEST_F(SessionTest, UnreadableFileIsRefused)
{
    // Root reads any file whatever its mode, so take a file that cannot be read at all.
    DatabaseSession s(working());
    ASSERT_TRUE(s.startUp().ok);
    const QString path = QStringLiteral("/proc/self/mem");
    const DbResult r = s.openDatabaseFile(path);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_TRUE(s.isLoaded());
    EXPECT_EQ(fileBytes(working()), expectedNewFile("PLN").left(200021));
}

TEST_F(SessionTest, SaveWithoutDatabase)
{
    DatabaseSession s(working());
    const DbResult r = s.saveDatabaseFile(file("a.vkf"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, QStringLiteral("Plik z bazą nie jest otwarty."));
    EXPECT_FALSE(QFileInfo::exists(file("a.vkf")));
}

TEST_F(SessionTest, SaveToAnUnusableTarget)
{
    DatabaseSession s(working());
    ASSERT_TRUE(s.newDatabase(QStringLiteral("x"), QStringLiteral("PLN")).ok);
    const DbResult r = s.saveDatabaseFile(QStringLiteral("/dev/null/x.vkf"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, QStringLiteral("Nie mogę otworzyć pliku docelowego"));
    EXPECT_TRUE(s.isModified());
    EXPECT_EQ(s.displayName(), QStringLiteral("x"));
}

TEST_F(SessionTest, FailedSaveKeepsTheOldFile)
{
    // The target is a directory holding a file: the new file cannot replace it.
    const QString target = file("busy.vkf");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("busy.vkf")));
    ASSERT_TRUE(writeFile(target + QStringLiteral("/inside"), QByteArray("keep")));
    DatabaseSession s(working());
    ASSERT_TRUE(s.newDatabase(QStringLiteral("x"), QStringLiteral("PLN")).ok);
    const DbResult r = s.saveDatabaseFile(target);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message == QStringLiteral("Wystąpił błąd zapisu") ||
                r.message == QStringLiteral("Nie mogę otworzyć pliku docelowego"))
        << qPrintable(r.message);
    EXPECT_TRUE(s.isModified());
    EXPECT_EQ(fileBytes(target + QStringLiteral("/inside")), QByteArray("keep"));
}

// A write the working copy on disk refuses (the disk is full) is refused once, to the one
// who made it; the database stays loaded and saveable with every edit it took, and the next
// write that succeeds puts the whole working copy right again.
TEST_F(SessionTest, FailedWriteToTheWorkingCopyLeavesTheDatabaseUsable)
{
    DatabaseSession s(working());
    ASSERT_TRUE(s.startUp().ok);
    RegisterDatabase& db = s.database();
    ASSERT_TRUE(db.writeRecord(144595, QByteArray("\x02Druga", 6))); // group 2
    s.setModified();
    {
        FileSizeLimit full(100000);
        EXPECT_FALSE(db.writeRecord(144617, QByteArray("\x03Trzecia", 8))); // group 3
        EXPECT_TRUE(db.failed());
        EXPECT_EQ(db.readBytes(144617, 8), QByteArray(8, '\0')); // not taken
        db.writeByteAt(141560 + 22, 'X'); // a byte write keeps its edit in the program's copy
    }
    EXPECT_TRUE(s.isLoaded());
    const DbResult saved = s.saveDatabaseFile(file("a.vkf"));
    EXPECT_TRUE(saved.ok) << qPrintable(saved.message);
    const QByteArray a = fileBytes(file("a.vkf"));
    EXPECT_EQ(a.mid(144595, 6), QByteArray("\x02Druga", 6));
    EXPECT_EQ(a.at(141582), 'X');
    EXPECT_EQ(a.mid(144617, 8), QByteArray(8, '\0'));

    EXPECT_TRUE(db.writeRecord(144617, QByteArray("\x03Trzecia", 8)));
    EXPECT_FALSE(db.failed());
    EXPECT_EQ(fileBytes(working()), db.contents()); // the working copy caught up, whole
}

TEST_F(SessionTest, CreateFailsWhereTheWorkingCopyCannotBe)
{
    DatabaseSession s(QStringLiteral("/dev/null/BDTemp.bdt"));
    const DbResult r = s.newDatabase(QStringLiteral("x"), QStringLiteral("PLN"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, QStringLiteral("Nie udało się utworzyć nowej bazy"));
    EXPECT_FALSE(s.isLoaded());
    EXPECT_FALSE(s.startUp().ok);
    EXPECT_EQ(s.displayName(), QStringLiteral("BDTemp.bdt"));
}

TEST_F(SessionTest, SymbolPadding)
{
    EXPECT_EQ(DatabaseSession::paddedSymbol(QStringLiteral("EU")), QStringLiteral(" EU"));
    EXPECT_EQ(DatabaseSession::paddedSymbol(QStringLiteral("$")), QStringLiteral("  $"));
    EXPECT_EQ(DatabaseSession::paddedSymbol(QString()), QStringLiteral("   "));
    EXPECT_EQ(DatabaseSession::paddedSymbol(QStringLiteral("PLN")), QStringLiteral("PLN"));
}

TEST_F(SessionTest, TemporaryDirectoryFromTemp)
{
    const QByteArray old = qgetenv("TEMP");
    qputenv("TEMP", QFile::encodeName(dir.path()));
    // Under TEMP too, a directory of this user only, never the shared directory itself.
    const QString underTemp =
        QDir::cleanPath(dir.path()) + QStringLiteral("/vorn-duno-") + QString::number(::getuid());
    EXPECT_EQ(temporaryDirectory(), underTemp);
    EXPECT_EQ(DatabaseSession().workingCopyPath(), underTemp + QStringLiteral("/BDTemp.bdt"));
    EXPECT_EQ(QFileInfo(underTemp).permissions() &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
    // One that others may write into (planted, or made loose) is passed over for the system's.
    QFile::setPermissions(underTemp, QFileInfo(underTemp).permissions() | QFile::WriteOther);
    EXPECT_TRUE(temporaryDirectory().startsWith(QDir::tempPath() + QStringLiteral("/vorn-duno-")));

    // A TEMP that names no directory: a private directory under the system one.
    qputenv("TEMP", QFile::encodeName(file("nothing-here")));
    const QString own = temporaryDirectory();
    ASSERT_FALSE(own.isEmpty());
    EXPECT_TRUE(own.startsWith(QDir::tempPath() + QStringLiteral("/vorn-duno-")));
    const QFileInfo info(own);
    EXPECT_TRUE(info.isDir());
    EXPECT_EQ(info.permissions() & (QFile::WriteGroup | QFile::WriteOther), QFile::Permissions());

    // Refused when others may write into it.
    QFile::setPermissions(own, info.permissions() | QFile::WriteOther);
    EXPECT_TRUE(temporaryDirectory().isEmpty());
    QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(temporaryDirectory(), own);

    if (old.isNull())
        qunsetenv("TEMP");
    else
        qputenv("TEMP", old);
}

// Unsaved changes survive a crash: the marker beside the working copy says so, and the
// next start can take the working copy up instead of overwriting it.
namespace {

TEST(WorkingCopyRecovery, MarkerLivesExactlyWhileChangesAreUnsaved)
{
    QTemporaryDir dir;
    const QString working = dir.filePath(QStringLiteral("BDTemp.bdt"));
    DatabaseSession s(working);
    ASSERT_TRUE(s.startUp().ok);
    EXPECT_FALSE(QFileInfo::exists(s.markerPath()));
    EXPECT_FALSE(s.recoverableWorkingCopy().available);

    s.setDisplayName(QStringLiteral("Sklep Ćma"));
    s.setModified(true);
    ASSERT_TRUE(QFileInfo::exists(s.markerPath()));
    EXPECT_EQ(s.markerPath(), working + QStringLiteral(".niezapisana"));
    const DatabaseSession::Recovery r = s.recoverableWorkingCopy();
    EXPECT_TRUE(r.available);
    EXPECT_EQ(r.displayName, QStringLiteral("Sklep Ćma"));
    EXPECT_EQ(r.symbol, QStringLiteral("PLN"));

    ASSERT_TRUE(s.saveDatabaseFile(dir.filePath(QStringLiteral("a.vkf"))).ok);
    EXPECT_FALSE(s.isModified());
    EXPECT_FALSE(QFileInfo::exists(s.markerPath()));
}

TEST(WorkingCopyRecovery, ACrashedSessionIsRestoredWithItsEdits)
{
    QTemporaryDir dir;
    QTemporaryDir afterCrash; // the files as a killed program leaves them
    const QString working = afterCrash.filePath(QStringLiteral("BDTemp.bdt"));
    {
        DatabaseSession crashed(dir.filePath(QStringLiteral("BDTemp.bdt")));
        ASSERT_TRUE(crashed.newDatabase(QStringLiteral("Kiosk"), QStringLiteral("EUR")).ok);
        ASSERT_TRUE(crashed.database().writeRecord(5000, QByteArray("\x01\x00TOWAR", 7)));
        ASSERT_TRUE(QFile::copy(crashed.workingCopyPath(), working));
        ASSERT_TRUE(QFile::copy(crashed.markerPath(), working + QStringLiteral(".niezapisana")));
    }

    DatabaseSession next(working);
    const DatabaseSession::Recovery r = next.recoverableWorkingCopy();
    ASSERT_TRUE(r.available);
    EXPECT_EQ(r.displayName, QStringLiteral("Kiosk"));
    EXPECT_EQ(r.symbol, QStringLiteral("EUR"));
    ASSERT_TRUE(next.restoreWorkingCopy().ok);
    EXPECT_TRUE(next.isModified());
    EXPECT_EQ(next.displayName(), QStringLiteral("Kiosk"));
    EXPECT_EQ(next.currencySymbol(), QStringLiteral("EUR"));
    EXPECT_EQ(next.database().contents().mid(5000, 7), QByteArray("\x01\x00TOWAR", 7));
}

TEST(WorkingCopyRecovery, NormalEndOrMissingWorkingCopyOffersNothing)
{
    QTemporaryDir dir;
    const QString working = dir.filePath(QStringLiteral("BDTemp.bdt"));
    {
        DatabaseSession s(working);
        ASSERT_TRUE(s.startUp().ok);
        s.setModified(true);
    } // the user answered No at the close query
    DatabaseSession after(working);
    EXPECT_FALSE(after.recoverableWorkingCopy().available);

    ASSERT_TRUE(writeFile(working + QStringLiteral(".niezapisana"), "X\nPLN\n"));
    ASSERT_TRUE(writeFile(working, QByteArray(100, '\0'))); // a cut-off working copy
    EXPECT_FALSE(after.recoverableWorkingCopy().available);
    EXPECT_FALSE(after.restoreWorkingCopy().ok);
    EXPECT_FALSE(after.isLoaded());
}

} // namespace
