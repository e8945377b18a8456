// The CSV import of every table into a working database made once per process. Whatever the
// file holds, the import may change nothing but the records of the table its title names;
// a refused file changes nothing at all and says why; what it writes exports and imports
// back to the same bytes, whichever encoding the file was read in.
#include "app/csv/csvencoding.h"
#include "app/csv/csvexport.h"
#include "app/csv/csvimport.h"
#include "common/cp1250.h"
#include "common/transferui.h"
#include "database/databasesession.h"
#include "tables/articlerecord.h"
#include "tables/currencyrecord.h"
#include "tables/grouprecord.h"
#include "tables/packagingrecord.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "csvimport_fuzz: %s\n", what);
        std::abort();
    }
}

class QuietUi : public TransferUi {
public:
    void showMessage(const QString& text, Icon) override { messages.append(text); }
    Answer ask(const QString&, Buttons, Icon, const QString&) override { return Answer::No; }
    void waitMs(int ms) override { m_now += ms; }
    qint64 nowMs() const override { return m_now; }

    QStringList messages;

private:
    qint64 m_now = 0;
};

// The working database every input is imported into: a new database with a few records that
// the file may replace (an article with a unit the file cannot carry among them).
struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<DatabaseSession> session;
    QByteArray pristine;

    Fixture()
    {
        check(dir.isValid(), "no temporary directory");
        session = std::make_unique<DatabaseSession>(dir.filePath(QStringLiteral("BDTemp.bdt")));
        check(session->createWorkingDatabase().ok, "no working database");
        RegisterDatabase& db = session->database();
        ArticleRecord a;
        a.number = 7;
        a.name = QStringLiteral("Chleb żytni");
        a.price = 450;
        a.barcode = QStringLiteral("5900000000007");
        a.unit = 3;
        storeRecord(db, layout::Articles, 7, a);
        a.number = 2000;
        a.name = QStringLiteral("Ostatni");
        a.unit = 9;
        storeRecord(db, layout::Articles, 2000, a);
        storeRecord(db, layout::Packaging, 20,
                    PackagingRecord{20, QStringLiteral("Skrzynka"), 1250, true});
        storeRecord(db, layout::Groups, 5, GroupRecord{5, QStringLiteral("Nabiał")});
        storeRecord(db, layout::Currencies, 2,
                    CurrencyRecord{2, QStringLiteral("Euro"), 45678000, 7, QStringLiteral("EUR")});
        pristine = db.contents();
    }
};

Fixture& fixture()
{
    static int argc = 1;
    static char name[] = "csvimport_fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Fixture f;
    return f;
}

// The record's own number as the slot holds it (articles: two bytes).
int numberOf(const csv::TableInfo& t, QByteArrayView record)
{
    if (t.table == csv::Table::Articles)
        return quint8(record[0]) | quint8(record[1]) << 8;
    return quint8(record[0]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    Fixture& f = fixture();
    RegisterDatabase& db = f.session->database();

    // The first byte: 0 the bytes are the whole file; 1..7 the title and column lines of that
    // table come first (with carriage returns when bit 3 is set), so the data lines get tried.
    // Bits 4 and 5 choose the encoding: automatic (0 and 3), UTF-8 or cp1250.
    const int mode = data[0] & 0x07;
    const int chosen = (data[0] >> 4) & 0x03;
    const csv::Encoding encoding = chosen == 1   ? csv::Encoding::Utf8
                                   : chosen == 2 ? csv::Encoding::Cp1250
                                                 : csv::Encoding::Automatic;
    QByteArray file;
    if (mode > 0) {
        const csv::TableInfo& t = csv::tables()[size_t(mode - 1)];
        const char* end = (data[0] & 0x08) ? "\r\n" : "\n";
        file = cp1250::encode(t.title) + end + cp1250::encode(t.columns) + end;
    }
    file.append(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    QuietUi ui;
    const csv::ImportOutcome outcome = csv::importBytes(*f.session, file, ui, encoding);
    const QByteArray after = db.contents();
    check(after.size() == f.pristine.size(), "the working copy changed its size");

    if (!outcome.ok) {
        check(after == f.pristine, "a refused import changed the database");
        check(ui.messages.size() == 1, "a refused import did not say why, once");
        check(!ui.messages.front().isEmpty(), "an empty refusal");
        for (QChar c : ui.messages.front())
            check(c.category() != QChar::Other_Control, "a control character in the refusal");
        return 0;
    }
    check(outcome.table.has_value(), "an import into no table");
    check(ui.messages.isEmpty(), "a message after a good import");
    const csv::TableInfo& t = csv::info(*outcome.table);
    check(outcome.label == t.importedMessage, "the result label");
    check(outcome.written >= 0 && outcome.skipped >= 0, "negative counts");

    // Nothing outside the table's records 1..lastNumber.
    const qsizetype from = qsizetype(t.layout.base);
    const qsizetype to = from + t.bytes();
    check(after.first(from) == f.pristine.first(from), "bytes before the table changed");
    check(after.sliced(to) == f.pristine.sliced(to), "bytes after the table changed");

    // A slot the file wrote holds its own number.
    const QByteArray table = after.sliced(from, t.bytes());
    int changed = 0;
    for (int n = 1; n <= t.lastNumber; ++n) {
        const qsizetype at = qsizetype(n - 1) * t.layout.recordSize;
        const QByteArrayView now = QByteArrayView(table).sliced(at, t.layout.recordSize);
        const QByteArrayView was =
            QByteArrayView(f.pristine).sliced(from + at, t.layout.recordSize);
        if (now != was) {
            ++changed;
            check(numberOf(t, now) == n, "a record written into another number's slot");
        }
    }
    check(changed <= outcome.written, "more records changed than lines written");

    // Every edit goes through to the working copy on disk at once.
    QFile copy(f.session->workingCopyPath());
    check(copy.open(QIODevice::ReadOnly) && copy.readAll() == after,
          "the working copy on disk differs from the database");

    // What the import wrote exports and imports back unchanged, read as the import finds it
    // by itself: the encoding cannot flip between an export and its import.
    const QByteArray exported = csv::exportBytes(t.table, table);
    const csv::ImportPlan again =
        csv::planImport(exported, [&table](const csv::TableInfo&) { return table; });
    check(again.ok(), "the export of an imported table is refused");
    check(again.table == t.table, "the export names another table");
    check(again.tableBytes == table, "the export does not import back to the same records");

    // Back to the database every input starts from (only the table can have changed).
    if (table != QByteArrayView(f.pristine).sliced(from, t.bytes()))
        check(db.writeRecord(from, QByteArrayView(f.pristine).sliced(from, t.bytes())),
              "cannot restore the table");
    return 0;
}
