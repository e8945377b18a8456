// The whole register at once, through the real link to the emulator on a pseudo-terminal: a
// copy of a register into a database, that database programmed into an empty register, runs
// that stop or break half-way and go on from where they ended, and the check before it all.

#include "faultmatrix.h"

#include "link/commands.h"
#include "sync/articlesync.h"
#include "sync/compare.h"
#include "sync/tablesync.h"
#include "tables/articlerecord.h"
#include "tables/quickkeys.h"
#include "tables/tablelayout.h"
#include "transfer/whole/preflight.h"
#include "transfer/whole/registerextras.h"
#include "transfer/whole/severalregisters.h"
#include "transfer/whole/verify.h"
#include "transfer/whole/wholebackup.h"
#include "transfer/whole/wholerestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using wholereg::TableOutcome;

// What a register holds in the tables the program can read back: the records it sends, its
// rates, header, units and quick keys.
struct RegisterContents {
    QByteArray vat, header, units, keys;
    bool operator==(const RegisterContents&) const = default;
};

RegisterContents contentsOf(fm::Rig& rig)
{
    auto hold = rig.host.lock();
    RegisterContents c;
    c.vat = rig.reg.vatRates();
    c.header = rig.reg.header();
    c.units = rig.reg.units();
    for (int cashier = 1; cashier <= 10; ++cashier)
        for (int key = 1; key <= 10; ++key)
            c.keys += rig.reg.quickKey(cashier, key);
    return c;
}

// Every table of the database compares equal to the register's, record by record, as
// "vduno compare" does it.
void expectRegisterEqualsDatabase(fm::Rig& rig, RegisterDatabase& db)
{
    for (const basesync::TableMember* member : basesync::tableMembers()) {
        basesync::TableSync sync(*member);
        ASSERT_TRUE(sync.read(rig.link, rig.ui).complete) << member->id.toStdString();
        for (const basesync::Comparison& c : basesync::compareTable(db, sync))
            EXPECT_EQ(c.kind, basesync::Comparison::Equal)
                << member->id.toStdString() << ": " << basesync::comparisonText(c).toStdString();
    }
    basesync::ArticleSync articles;
    ASSERT_TRUE(articles.read(rig.link, rig.ui, 2).complete);
    for (const basesync::Comparison& c : basesync::compareArticles(db, articles, 2))
        EXPECT_EQ(c.kind, basesync::Comparison::Equal) << basesync::comparisonText(c).toStdString();
}

// The register holds what the copy of `original` holds, in every table it can send.
void expectSameRegister(fm::Rig& rig, const RegisterContents& original)
{
    const RegisterContents copy = contentsOf(rig);
    EXPECT_EQ(copy.vat, original.vat);
    EXPECT_EQ(copy.header, original.header);
    EXPECT_EQ(copy.units, original.units);
    EXPECT_EQ(copy.keys, original.keys);
    expectRegisterEqualsDatabase(rig, rig.db());
}

// The demo register with quick keys and units of its own, copied into `path`.
RegisterContents backUpDemoRegister(const QString& path)
{
    fm::Rig rig;
    EXPECT_TRUE(rig.ok());
    {
        auto hold = rig.host.lock();
        rig.reg.fillDemo(300);
        // Quick keys of two cashiers and units of the shop's own, which the demo lacks.
        for (const auto& [cashier, key, article] :
             {std::tuple{1, 1, 5}, {1, 3, 17}, {2, 10, 299}}) {
            QuickKeyRecord k;
            k.addArticle(cashier, key, article, 10000, key == 3);
            const QByteArray record = k.encode();
            rig.reg.handle(commands::quickKey(1, 0x8001, quint8(cashier), quint8(key), record, 0));
        }
        rig.reg.handle(commands::setUnitNames(1, 0x8001, QStringLiteral("opk"),
                                              QStringLiteral("kpl"), QStringLiteral("m2")));
    }
    QString error;
    const wholereg::BackupResult result = wholereg::backupToFile(rig.link, rig.ui, path, &error);
    EXPECT_TRUE(result.complete())
        << wholereg::summaryLines(result.tables).join(u'\n').toStdString();
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    for (const TableOutcome& t : result.tables) {
        if (t.table == QStringLiteral("Klawisze szybkie")) {
            EXPECT_EQ(t.records, 3);
        }
    }
    EXPECT_EQ(result.extras.units,
              (QStringList{QStringLiteral("opk"), QStringLiteral("kpl"), QStringLiteral("m2 ")}));
    return contentsOf(rig);
}

int articleFrames(const QList<QByteArray>& sent)
{
    int count = 0;
    for (const QByteArray& frame : sent)
        count += frame.size() == 78 && frame[6] == 'T';
    return count;
}

} // namespace

TEST(WholeRegister, BackupRestoredIntoAnEmptyRegisterGivesTheSameRegister)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sklep.vkf"));
    const RegisterContents original = backUpDemoRegister(path);
    ASSERT_TRUE(QFile::exists(path));
    const auto extras = wholereg::readExtras(wholereg::extrasPath(path));
    ASSERT_TRUE(extras.has_value());
    EXPECT_EQ(extras->registerType, 2);
    EXPECT_EQ(extras->units.size(), 3);
    EXPECT_EQ(extras->settings.size(), 21);

    fm::Rig empty;
    ASSERT_TRUE(empty.ok());
    ASSERT_TRUE(empty.session.openDatabaseFile(path).ok);
    empty.ui.answers = {TransferUi::Answer::Yes, TransferUi::Answer::Yes};
    wholereg::RestoreOptions options;
    wholereg::applyExtras(options, *extras);
    const wholereg::RestoreResult result =
        wholereg::restore(empty.link, empty.ui, empty.db(), 2, options);
    EXPECT_TRUE(result.finished) << wholereg::summaryLines(result.tables).join(u'\n').toStdString();
    EXPECT_TRUE(wholereg::allDone(result.tables));

    expectSameRegister(empty, original);
}

TEST(WholeRegister, OnlyChangedRecordsGoWhenAskedAndRecordsOnlyInTheRegisterAreListed)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sklep.vkf"));
    backUpDemoRegister(path);

    fm::Rig rig;
    ASSERT_TRUE(rig.ok());
    {
        auto hold = rig.host.lock();
        rig.reg.fillDemo(300);
    }
    ASSERT_TRUE(rig.session.openDatabaseFile(path).ok);
    // Three prices changed and one article gone from the database since the copy.
    for (int n : {5, 120, 299}) {
        ArticleRecord a = loadRecord<ArticleRecord>(rig.db(), layout::Articles, n);
        a.price += 100;
        ASSERT_TRUE(storeRecord(rig.db(), layout::Articles, n, a));
    }
    ASSERT_TRUE(clearRecord(rig.db(), layout::Articles, 7));
    rig.ui.answers = {TransferUi::Answer::Yes};
    rig.sent.clear();
    wholereg::RestoreOptions options;
    options.changedOnly = true;
    wholereg::applyExtras(options, *wholereg::readExtras(wholereg::extrasPath(path)));
    const wholereg::RestoreResult result =
        wholereg::restore(rig.link, rig.ui, rig.db(), 2, options);
    ASSERT_TRUE(result.finished);

    // The footer and the halo table the register could not send are still the copy's
    // defaults: the register keeps its own.
    for (const QByteArray& frame : rig.sent)
        EXPECT_TRUE(frame[6] != 'D' && frame[6] != 'L') << "sent " << frame.toHex().toStdString();
    EXPECT_EQ(result.tables[int(wholereg::Step::Footer)].note,
              QStringLiteral("wartości domyślne kopii kasy: nie wysłano"));

    EXPECT_EQ(articleFrames(rig.sent), 3);
    const TableOutcome& articles = result.tables[int(wholereg::Step::Articles)];
    EXPECT_EQ(articles.records, 3);
    EXPECT_EQ(articles.listed, 3);
    ASSERT_EQ(result.onlyInRegister.size(), 1);
    EXPECT_EQ(result.onlyInRegister[0].numbers, QList<int>{7});
    EXPECT_FALSE(result.onlyInRegister[0].deleted);
    EXPECT_EQ(wholereg::onlyInRegisterLines(result.onlyInRegister).last(),
              QStringLiteral("Towary tylko w kasie: 7"));
}

// A run stopped by the person or broken by the line goes on from where it ended and leaves
// the register as one run would have.
TEST(WholeRegister, RunStoppedOrBrokenHalfWayAndResumedEndsWithTheSameRegister)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sklep.vkf"));
    const RegisterContents original = backUpDemoRegister(path);

    struct Break {
        const char* name;
        int stopAfterEvents; // the person presses "Anuluj" (-1: never)
        int silentFrame;     // the register stops answering at this frame of the run (0: never),
                             // also to the frame's four more attempts
        bool changedOnly;
        wholereg::Step endsIn;
    };
    const Break breaks[] = {
        {"stopped among the groups", 4, 0, false, wholereg::Step::Groups},
        {"stopped among the articles", 150, 0, false, wholereg::Step::Articles},
        {"line broken among the articles", -1, 60, false, wholereg::Step::Articles},
        {"line broken among the cashiers", -1, 310, false, wholereg::Step::Cashiers},
        {"only changes, line broken among the articles", -1, 120, true, wholereg::Step::Articles},
    };
    for (const Break& b : breaks) {
        SCOPED_TRACE(b.name);
        fm::Rig rig;
        ASSERT_TRUE(rig.ok());
        ASSERT_TRUE(rig.session.openDatabaseFile(path).ok);
        wholereg::RestoreOptions options;
        options.changedOnly = b.changedOnly;
        wholereg::applyExtras(options, *wholereg::readExtras(wholereg::extrasPath(path)));
        rig.ui.answers = {TransferUi::Answer::Yes};
        rig.ui.stopAfterEvents = b.stopAfterEvents;
        if (b.silentFrame > 0) {
            auto hold = rig.host.lock();
            emu::FaultPlan plan;
            for (int attempt = 0; attempt < 5; ++attempt)
                plan.silent.insert(rig.reg.framesReceived() + b.silentFrame + attempt);
            rig.reg.setFaults(plan);
        }
        const wholereg::RestoreResult first =
            wholereg::restore(rig.link, rig.ui, rig.db(), 2, options);
        ASSERT_FALSE(first.finished);
        EXPECT_EQ(first.resume.step, int(b.endsIn))
            << wholereg::summaryLines(first.tables).join(u'\n').toStdString();
        EXPECT_EQ(first.tables[first.resume.step].state,
                  b.silentFrame > 0 ? TableOutcome::State::Failed : TableOutcome::State::Stopped);

        rig.ui.stopAfterEvents = -1;
        rig.ui.stop = false;
        {
            auto hold = rig.host.lock();
            rig.reg.setFaults({});
        }
        options.from = first.resume;
        const wholereg::RestoreResult second =
            wholereg::restore(rig.link, rig.ui, rig.db(), 2, options);
        EXPECT_TRUE(second.finished)
            << wholereg::summaryLines(second.tables).join(u'\n').toStdString();
        EXPECT_TRUE(second.problems.isEmpty()) << "a resumed run does not ask again";
        // Each article went once; only the one left without an answer went again: at most
        // five times in the broken run, and once more in the resumed one.
        EXPECT_GE(articleFrames(rig.sent), 300);
        EXPECT_LE(articleFrames(rig.sent), 305);

        expectSameRegister(rig, original);
    }
}

// The check before programming names each kind of problem with the record it concerns.
TEST(WholeRegister, CheckBeforeProgrammingNamesEveryProblemWithItsRecord)
{
    QTemporaryDir dir;
    const auto article = [](RegisterDatabase& db, int n,
                            const std::function<void(ArticleRecord&)>& edit) {
        ArticleRecord a;
        a.number = n;
        a.name = QStringLiteral("TOWAR ") + QString::number(n);
        a.vat = 'A';
        a.price = 100;
        a.barcode = QStringLiteral("0000000000000");
        edit(a);
        return storeRecord(db, layout::Articles, n, a);
    };
    struct Case {
        const char* name;
        std::function<bool(RegisterDatabase&)> prepare;
        QString problem;
    };
    const Case cases[] = {
        {"article in an empty group",
         [&](RegisterDatabase& db) {
             return article(db, 12, [](ArticleRecord& a) { a.group = 5; });
         },
         QStringLiteral("Towar 12: grupa towarowa 5 jest pusta")},
        {"article without a group",
         [&](RegisterDatabase& db) {
             return article(db, 18, [](ArticleRecord& a) { a.group = 0; });
         },
         QStringLiteral("Towar 18: nie ma grupy towarowej")},
        {"article with empty packaging",
         [&](RegisterDatabase& db) {
             return article(db, 13, [](ArticleRecord& a) { a.tandem = 3; });
         },
         QStringLiteral("Towar 13: opakowanie 3 jest puste")},
        {"EAN-13 with a wrong check digit",
         [&](RegisterDatabase& db) {
             return article(db, 14,
                            [](ArticleRecord& a) { a.barcode = QStringLiteral("5901234123456"); });
         },
         QStringLiteral("Towar 14: kod kreskowy 5901234123456 ma błędną cyfrę kontrolną")},
        {"EAN-8 with a wrong check digit",
         [&](RegisterDatabase& db) {
             return article(db, 15,
                            [](ArticleRecord& a) { a.barcode = QStringLiteral("0000096385075"); });
         },
         QStringLiteral("Towar 15: kod kreskowy 0000096385075 ma błędną cyfrę kontrolną")},
        {"article name the register cannot print",
         [&](RegisterDatabase& db) {
             return article(db, 16,
                            [](ArticleRecord& a) { a.name = QStringLiteral("MLEKO\tUHT"); });
         },
         QStringLiteral("Towar 16: nazwa zawiera znaki, których kasa nie wydrukuje: \t")},
        {"cashier name the register cannot print",
         [](RegisterDatabase& db) {
             return db.writeRecord(layout::Cashiers.offsetOf(2), QByteArray("\x02"
                                                                            "ANNA\x07",
                                                                            6));
         },
         QStringLiteral("Kasjer 2: nazwa zawiera znaki, których kasa nie wydrukuje: \x07")},
    };
    const QByteArray sameVat = [&] {
        DatabaseSession s(dir.filePath(QStringLiteral("vat.bdt")));
        s.startUp();
        return s.database().readBytes(layout::VatRates.base, layout::VatRates.bytes());
    }();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DatabaseSession session(dir.filePath(QStringLiteral("BDTemp.bdt")));
        ASSERT_TRUE(session.startUp().ok);
        ASSERT_TRUE(c.prepare(session.database()));
        QStringList texts;
        for (const wholereg::Problem& p : wholereg::preflight(session.database(), sameVat))
            texts << p.text;
        EXPECT_EQ(texts, QStringList{c.problem});
    }

    // Rates that differ from the register's, or that could not be read, are a change the
    // register writes into its fiscal memory.
    DatabaseSession session(dir.filePath(QStringLiteral("BDTemp.bdt")));
    ASSERT_TRUE(session.startUp().ok);
    QByteArray otherVat = sameVat;
    otherVat[1] = char(otherVat[1] + 1);
    for (const std::optional<QByteArray>& registerVat :
         {std::optional(otherVat), std::optional<QByteArray>()}) {
        const QList<wholereg::Problem> problems =
            wholereg::preflight(session.database(), registerVat);
        ASSERT_EQ(problems.size(), 1);
        EXPECT_EQ(problems[0].table, QStringLiteral("Stawki PTU"));
        EXPECT_TRUE(problems[0].text.startsWith(QStringLiteral("Zmiana stawek PTU na: A ")))
            << problems[0].text.toStdString();
    }
}

// Three registers at addresses 1, 2 and 3 on one line, programmed in one run: each gets the
// database and a result of its own, and the one whose line breaks does not stop the others.
TEST(WholeRegister, ThreeRegistersOnOneLineEachGetTheDatabaseAndItsOwnResult)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sklep.vkf"));
    backUpDemoRegister(path);

    emu::RegisterModel first(emu::Model::DunoBis, 1), second(emu::Model::DunoBis, 2),
        third(emu::Model::Duno, 3);
    emu::EmulatorHost host(QList<emu::RegisterModel*>{&first, &second, &third});
    ASSERT_TRUE(host.start());
    constexpr int port = fm::Rig::kPort;
    portmap::setPortOverride(port, host.devicePath());
    Link link([] { return std::make_unique<fm::QuickLine>(); });
    link.port = port;
    FakeUi ui;
    ASSERT_EQ(link.openPort(ui, true), 0);
    {
        // The second register stops answering half-way through the articles, and to every
        // attempt to send that article again.
        auto hold = host.lock();
        emu::FaultPlan plan;
        plan.silent = {100, 101, 102, 103, 104};
        second.setFaults(plan);
    }
    QTemporaryDir work;
    DatabaseSession session(work.filePath(DatabaseSession::WorkingCopyName));
    ASSERT_TRUE(session.openDatabaseFile(path).ok);
    // A barcode with a wrong check digit for the check to ask about.
    ASSERT_TRUE(session.database().writeRecord(layout::Articles.offsetOf(3) + 49,
                                               QByteArray("5901234123456")));
    ui.answers = {TransferUi::Answer::Yes};

    const QList<wholereg::RegisterRun> runs =
        wholereg::restoreEach(link, ui, session.database(), {{port, 1}, {port, 2}, {port, 3}}, {});
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(ui.questions.size(), 1) << "the check is asked once for the three";
    EXPECT_TRUE(runs[0].succeeded());
    EXPECT_FALSE(runs[1].succeeded());
    EXPECT_EQ(runs[1].result.resume.step, int(wholereg::Step::Articles));
    EXPECT_TRUE(runs[2].succeeded());
    EXPECT_EQ(runs[0].registerType, 2);
    EXPECT_EQ(runs[2].registerType, 1);
    EXPECT_EQ(wholereg::registerTitle(runs[1].target),
              portscan::portEntry(port) + QStringLiteral(", adres 2"));
    {
        auto hold = host.lock();
        EXPECT_EQ(first.usedRecords(emu::RegisterModel::Articles), 300);
        EXPECT_LT(second.usedRecords(emu::RegisterModel::Articles), 300);
        EXPECT_EQ(third.usedRecords(emu::RegisterModel::Articles), 300);
        EXPECT_EQ(first.numberingErrors() + second.numberingErrors() + third.numberingErrors(), 0);
    }
    link.closePort();
    portmap::clearPortOverrides();
}

// Programming checked afterwards. The register takes frames the line damaged in a way their
// check byte cannot see: the check reads the register back, programs again only what differs
// and ends equal; a line that damages every frame after the first few so ends with the list
// of what still differs.
TEST(WholeRegister, VerifiedProgrammingMendsWhatTheCheckByteCouldNotSee)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sklep.vkf"));
    backUpDemoRegister(path);
    const struct {
        const char* name;
        int from, to; // frames of the programming run the line damages unseen
        bool equal;
    } cases[] = {
        {"two frames damaged once", 40, 41, true},
        {"every frame damaged every time", 20, 5000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fm::Rig rig;
        ASSERT_TRUE(rig.ok());
        ASSERT_TRUE(rig.session.openDatabaseFile(path).ok);
        rig.ui.answers = {TransferUi::Answer::Yes};
        wholereg::RestoreOptions options;
        wholereg::applyExtras(options, *wholereg::readExtras(wholereg::extrasPath(path)));
        {
            auto hold = rig.host.lock();
            emu::FaultPlan plan;
            const int first = rig.reg.framesReceived();
            for (int n = c.from; n <= c.to; ++n)
                plan.undetected.insert(first + n);
            rig.reg.setFaults(plan);
        }
        const wholereg::RestoreResult programmed =
            wholereg::restore(rig.link, rig.ui, rig.db(), 2, options);
        ASSERT_TRUE(programmed.finished);
        QStringList accepted;
        for (const wholereg::Problem& p : programmed.problems)
            accepted << p.text;
        const wholereg::VerifyResult verified =
            wholereg::verifyProgrammed(rig.link, rig.ui, rig.db(), 2, options, accepted);
        EXPECT_TRUE(verified.complete);
        EXPECT_EQ(verified.equal, c.equal);
        const QStringList lines = wholereg::verifyLines(verified);
        if (c.equal) {
            EXPECT_EQ(verified.mended, 2);
            EXPECT_EQ(lines, QStringList{QStringLiteral("Kasa zgodna z bazą.")});
            auto hold = rig.host.lock();
            rig.reg.setFaults({});
        } else {
            EXPECT_EQ(verified.rounds, 2);
            ASSERT_GE(lines.size(), 2);
            EXPECT_EQ(lines[0], QStringLiteral("Rekordy kasy różne od bazy:"));
            EXPECT_TRUE(lines.filter(QStringLiteral("Towary – różne od bazy: ")).size() == 1)
                << lines.join(u'\n').toStdString();
        }
        if (c.equal)
            expectRegisterEqualsDatabase(rig, rig.db());
    }
}

// The database and its side file are one backup: when the side file cannot be put in place,
// the database written beside it is taken back, so the earlier backup stays whole.
TEST(WholeRegister, BackupWhoseSideFileFailsLeavesTheEarlierPair)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sklep.vkf"));
    backUpDemoRegister(path);
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    const QByteArray earlierBytes = earlier.readAll();
    earlier.close();
    // A side file that cannot be replaced: a directory with something in it stands there.
    const QString side = wholereg::extrasPath(path);
    ASSERT_TRUE(QFile::remove(side));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("sklep.kasa/zajete")));

    fm::Rig rig;
    ASSERT_TRUE(rig.ok());
    {
        auto hold = rig.host.lock();
        rig.reg.fillDemo(40);
    }
    QString error;
    const wholereg::BackupResult result = wholereg::backupToFile(rig.link, rig.ui, path, &error);
    EXPECT_EQ(error,
              QStringLiteral("Nie mogę zapisać pliku sklep.kasa; pliki kopii zostały takie, jakie "
                             "były."));
    EXPECT_FALSE(wholereg::allDone(result.tables));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), earlierBytes);
    EXPECT_TRUE(QFileInfo(side).isDir());
    // Nothing of the failed backup is left beside them.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("sklep.kasa"), QStringLiteral("sklep.vkf")}));
}
