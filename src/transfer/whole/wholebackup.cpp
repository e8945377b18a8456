#include "wholebackup.h"

#include "registerreads.h"
#include "stageui.h"
#include "wholerestore.h"

#include "common/cp1250.h"
#include "common/filegroup.h"
#include "common/transferrun.h"
#include "database/databasesession.h"
#include "link/link.h"
#include "service/settings.h"
#include "sync/databasediff.h"
#include "sync/tablesync.h"
#include "tables/articleread.h"
#include "tables/receipttext.h"
#include "tables/units.h"
#include "transfer/information.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

namespace wholereg {

namespace {

using State = TableOutcome::State;

QString firstMessage(const StageUi& stage)
{
    return stage.messages.isEmpty() ? QString() : stage.messages.first();
}

void failed(TableOutcome& t, const StageUi& stage)
{
    t.state = stage.stopRequested() ? State::Stopped : State::Failed;
    t.note = firstMessage(stage);
}

bool cannotWrite(TableOutcome& t)
{
    t.state = State::Failed;
    t.note = QStringLiteral("nie można zapisać bazy");
    return false;
}

// A table the register sends as a run of frames; `store` writes what came.
bool readImages(StageUi& stage, const ImagesRead& read, TableOutcome& t,
                const std::function<bool(const QList<QByteArray>&)>& store)
{
    switch (read.end) {
    case ImagesRead::End::Whole:
        t.records = read.received;
        t.state = read.received > 0 ? State::Done : State::Empty;
        return read.received == 0 || store(read.images) || cannotWrite(t);
    case ImagesRead::End::Declined:
        t.state = State::Kept;
        t.note = QStringLiteral("kasa nie wysyła tej tabeli");
        return true;
    case ImagesRead::End::Failed:
        break;
    }
    failed(t, stage);
    return false;
}

bool readVat(Link& link, StageUi& stage, RegisterDatabase& db, TableOutcome& t)
{
    return readImages(stage, readVatRates(link, stage), t, [&](const QList<QByteArray>& images) {
        return db.writeRecord(layout::VatRates.base, images.first());
    });
}

bool readKeys(Link& link, StageUi& stage, RegisterDatabase& db, TableOutcome& t)
{
    return readImages(stage, readQuickKeys(link, stage), t, [&](const QList<QByteArray>& images) {
        for (int n = 1; n <= images.size(); ++n)
            if (images[n - 1][0] != 0 &&
                !db.writeRecord(layout::QuickKeys.offsetOf(n), images[n - 1]))
                return false;
        return true;
    });
}

bool readTable(Link& link, StageUi& stage, RegisterDatabase& db,
               const basesync::TableMember& member, TableOutcome& t)
{
    basesync::TableSync sync(member);
    const basesync::ReadOutcome read = sync.read(link, stage);
    if (!read.complete) {
        failed(t, stage);
        return false;
    }
    const QList<int> numbers = sync.registerNumbers();
    const QSet<int> all(numbers.begin(), numbers.end());
    t.records = sync.copyToPc(db, all);
    t.state = t.records > 0 ? State::Done : State::Empty;
    t.note = read.rereadText();
    const QList<int> beyond = sync.beyondPc(all);
    if (!beyond.isEmpty()) {
        QStringList list;
        for (int n : beyond)
            list << QString::number(n);
        t.note = QStringLiteral("bez rekordów nr ") + list.join(QStringLiteral(", ")) +
                 QStringLiteral(": baza PC obejmuje numery 1-") + QString::number(member.pcLines) +
                 (t.note.isEmpty() ? QString() : QLatin1Char(' ') + t.note);
    }
    return true;
}

bool readArticles(Link& link, StageUi& stage, RegisterDatabase& db, int registerType,
                  TableOutcome& t)
{
    const articleread::Result r = articleread::readArticles(link, stage, db, registerType);
    t.records = r.recordsWritten;
    if (r.complete()) {
        t.state = r.recordsWritten > 0 ? State::Done : State::Empty;
        t.note = r.rereadText();
        return true;
    }
    if (r.requestSent && r.framesStored == 0 && !r.stopped &&
        stage.messages.contains(QStringLiteral("Pusta baza."))) {
        t.state = State::Empty;
        return true;
    }
    failed(t, stage);
    return false;
}

bool readHeader(Link& link, StageUi& stage, RegisterDatabase& db, TableOutcome& t)
{
    const auto block = receipt::readHeaderBlock(link, stage);
    if (!block) {
        failed(t, stage);
        return false;
    }
    if (!db.writeRecord(layout::Header.base, *block))
        return cannotWrite(t);
    t.records = 1;
    t.state = State::Done;
    return true;
}

} // namespace

BackupResult backup(Link& link, TransferUi& caller, RegisterDatabase& db)
{
    TransferRun run(caller);
    BackupResult result;
    result.currencySymbol = QStringLiteral("PLN");

    struct Step {
        QString table;
        int weight; // its share of the run's progress: about the records it can hold
        std::function<bool(StageUi&, TableOutcome&)> read;
    };
    const auto table = [&](const basesync::TableMember& member) {
        return [&link, &db, &member](StageUi& s, TableOutcome& t) {
            return readTable(link, s, db, member, t);
        };
    };
    const QList<Step> steps = {
        {QStringLiteral("Informacje o kasie"), 1,
         [&](StageUi& s, TableOutcome& t) {
             const auto info = transfer::fetchInformation(link, s);
             if (!info) {
                 failed(t, s);
                 return false;
             }
             result.extras.registerType = info->registerType;
             for (int f = 0; f < transfer::kInfoFieldCount; ++f)
                 if (const auto value = info->values[size_t(f)])
                     result.extras.information << transfer::infoCaption(transfer::InfoField(f)) +
                                                      QStringLiteral(": ") + *value;
             if (const auto symbol = info->value(transfer::InfoField::CurrencySymbol);
                 symbol && !symbol->trimmed().isEmpty())
                 result.currencySymbol = *symbol;
             t.records = 1;
             t.state = State::Done;
             return true;
         }},
        {QStringLiteral("Stawki PTU"), 1,
         [&](StageUi& s, TableOutcome& t) { return readVat(link, s, db, t); }},
        {QStringLiteral("Grupy towarowe"), 20, table(basesync::groupsMember())},
        {QStringLiteral("Opakowania"), 20, table(basesync::packagingMember())},
        {QStringLiteral("Towary"), 2000,
         [&](StageUi& s, TableOutcome& t) {
             return readArticles(link, s, db, result.extras.registerType, t);
         }},
        {QStringLiteral("Kasjerzy"), 20, table(basesync::cashiersMember())},
        {QStringLiteral("Rabaty i narzuty"), 20, table(basesync::discountsMember())},
        {QStringLiteral("Formy płatności"), 20, table(basesync::paymentFormsMember())},
        {QStringLiteral("Waluty"), 20, table(basesync::currenciesMember())},
        {QStringLiteral("Klawisze szybkie"), 100,
         [&](StageUi& s, TableOutcome& t) { return readKeys(link, s, db, t); }},
        {QStringLiteral("Nagłówek paragonu"), 1,
         [&](StageUi& s, TableOutcome& t) { return readHeader(link, s, db, t); }},
        {QStringLiteral("Jednostki"), 1,
         [&](StageUi& s, TableOutcome& t) {
             const auto names = units::read(link, s);
             if (!names) {
                 failed(t, s);
                 return false;
             }
             result.extras.units = *names;
             t.records = 1;
             t.state = State::Done;
             return true;
         }},
        {QStringLiteral("Ustawienia dodatkowe"), 1,
         [&](StageUi& s, TableOutcome& t) {
             const auto bytes = service::readSettingsBlock(link, s);
             if (!bytes) {
                 failed(t, s);
                 return false;
             }
             result.extras.settings = *bytes;
             t.records = 1;
             t.state = State::Done;
             return true;
         }},
    };

    int total = 0;
    for (const Step& step : steps)
        total += step.weight;
    int offset = 0;
    bool going = true;
    for (const Step& step : steps) {
        TableOutcome t;
        t.table = step.table;
        if (going && run.stopRequested()) {
            t.state = State::Stopped;
            going = false;
        } else if (going) {
            StageUi stage(run, offset, step.weight, total);
            going = step.read(stage, t);
            if (going)
                stage.finish();
        }
        offset += step.weight;
        result.tables.append(t);
    }
    result.stopped = run.stopRequested();

    // What the register has no read for: the new database keeps its defaults.
    for (const QString& kept :
         {QStringLiteral("Stopka paragonu"), QStringLiteral("Tablica HALO"),
          QStringLiteral("Klawisze funkcyjne"), QStringLiteral("Zestaw raportów")})
        result.tables.append({kept,
                              State::Kept,
                              0,
                              0,
                              {},
                              QStringLiteral("kasa nie wysyła tej tabeli; wartości domyślne")});
    return result;
}

namespace {

// A second read of the whole register beside the first: a line that damaged a frame in a way
// its check byte cannot see damages the same record the same way twice only by chance.
bool secondReadAgrees(Link& link, TransferUi& ui, RegisterDatabase& first, BackupResult& result)
{
    QTemporaryDir dir;
    DatabaseSession again(dir.filePath(DatabaseSession::WorkingCopyName));
    if (!dir.isValid() || !again.newDatabase(QStringLiteral("kopia"), QStringLiteral("PLN")).ok)
        return false;
    const BackupResult second = backup(link, ui, again.database());
    TableOutcome check{QStringLiteral("Sprawdzenie kopii"), State::Done, 0, 0, {}, {}};
    if (!second.complete()) {
        check.state = second.stopped ? State::Stopped : State::Failed;
        check.note = QStringLiteral("drugi odczyt kasy nie doszedł do końca");
    } else {
        QStringList differing;
        for (const basesync::TableDiff& t : basesync::diffDatabases(first, again.database())) {
            QList<int> numbers;
            for (const basesync::Comparison& c : t.records)
                numbers << c.number;
            if (!numbers.isEmpty())
                differing << t.title + QLatin1Char(' ') + numbersText(numbers);
        }
        if (!differing.isEmpty()) {
            check.state = State::Failed;
            check.note = QStringLiteral("dwa odczyty kasy różnią się: ") +
                         differing.join(QStringLiteral("; "));
        } else {
            check.note = QStringLiteral("dwa odczyty kasy zgodne");
        }
    }
    result.tables.append(check);
    result.stopped = result.stopped || second.stopped;
    return check.state == State::Done;
}

} // namespace

BackupResult backupToFile(Link& link, TransferUi& ui, const QString& path, QString* error,
                          bool verify)
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        if (error)
            *error = QStringLiteral("Nie mogę utworzyć katalogu tymczasowego");
        return {};
    }
    DatabaseSession session(dir.filePath(DatabaseSession::WorkingCopyName));
    const DbResult created =
        session.newDatabase(QFileInfo(path).completeBaseName(), QStringLiteral("PLN"));
    if (!created.ok) {
        if (error)
            *error = created.message;
        return {};
    }
    BackupResult result = backup(link, ui, session.database());
    if (!result.complete())
        return result;
    if (verify && !secondReadAgrees(link, ui, session.database(), result))
        return result;
    RegisterDatabase& db = session.database();
    result.extras.keptDefaults.insert(QStringLiteral("footer"),
                                      db.readBytes(layout::Footer.base, layout::Footer.recordSize));
    result.extras.keptDefaults.insert(QStringLiteral("halo"),
                                      db.readBytes(layout::Halo.base, layout::Halo.bytes()));
    // The register's own accounting currency, as a database made for it would carry.
    session.database().writeRecord(
        layout::CurrencyFieldCreation.base,
        cp1250::padSpaces(DatabaseSession::paddedSymbol(result.currencySymbol), 3));
    // The database and its side file are one backup: both in place, or the earlier pair.
    const QString failed = filegroup::writeTogether(
        {{path, session.fileBytes()}, {extrasPath(path), extrasBytes(result.extras)}});
    if (!failed.isEmpty()) {
        const QString message = QStringLiteral("Nie mogę zapisać pliku ") +
                                QFileInfo(failed).fileName() +
                                QStringLiteral("; pliki kopii zostały takie, jakie były.");
        if (error)
            *error = message;
        result.tables.append({QStringLiteral("Zapis bazy"), State::Failed, 0, 0, {}, message});
    }
    return result;
}

} // namespace wholereg
