// The jobs the window runs over a shop chain, on three emulated registers behind TCP ports
// at once, through the real links: copies into each register's own database, programming
// back (all of it, only what changed, and a run stopped half-way then resumed), the
// information data, and registers that cannot take part failing alone.

#include "chainshop.h"
#include "loopbackport.h"

#include "database/databasesession.h"
#include "emulator/tlsfront.h"
#include "fakeui.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"
#include "transfer/chain/chainjobs.h"
#include "transfer/chain/chainrun.h"
#include "transfer/chain/registerlist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

using chain::ChainRegister;
using chain::RegisterOutcome;

constexpr int DemoArticles = 40; // as many as ChainShop's demo has

using Shop = ChainShop;

ChainRegister listed(const QString& name, const QString& port, const QString& database,
                     int address = 1)
{
    ChainRegister r;
    r.name = name;
    r.port = port;
    r.device = port;
    r.address = address;
    r.database = database;
    return r;
}

// A register's user interface that answers the check before programming with Yes and can
// stop the whole chain once it has run `stopAt` records.
struct RegisterUi : FakeUi {
    void processEvents() override
    {
        FakeUi::processEvents();
        if (eventsRun == stopAt && onStop)
            onStop();
    }
    int stopAt = -1;
    std::function<void()> onStop;
};

// One run of `job` over `registers`, each register with a user interface of its own; the
// details each job gave back are kept by index.
struct ChainOf {
    explicit ChainOf(const QList<ChainRegister>& registers)
        : registers(registers), details(registers.size())
    {
        for (qsizetype i = 0; i < registers.size(); ++i) {
            uis.push_back(std::make_unique<RegisterUi>());
            uis.back()->answers = {TransferUi::Answer::Yes};
        }
    }
    chain::Details detailsSink()
    {
        return [this](int index, const QStringList& lines) {
            std::lock_guard<std::mutex> lock(mutex);
            details[index] += lines;
        };
    }
    QList<RegisterOutcome> operator()(const chain::ChainJob& job)
    {
        chain::ChainOptions options;
        options.ui = [this](int i) -> TransferUi& { return *uis[size_t(i)]; };
        options.precheck = job.precheck;
        chain = std::make_unique<chain::ChainRun>(registers, job.run, options);
        return chain->run();
    }
    QList<ChainRegister> registers;
    std::vector<std::unique_ptr<RegisterUi>> uis;
    std::unique_ptr<chain::ChainRun> chain;
    std::mutex mutex;
    QList<QStringList> details;
};

QString outcomesText(const QList<ChainRegister>& registers, const QList<RegisterOutcome>& all)
{
    QString text;
    for (qsizetype i = 0; i < all.size(); ++i)
        text += registers.at(i).name + QStringLiteral(": ") + chain::resultText(all.at(i)) + u'\n';
    return text;
}

} // namespace

// Copies of three registers at once into their databases, the databases programmed back (all,
// then only what changed in one of them), the information data and the line test, each
// register with its own result.
TEST(ChainJobs, EveryJobRunsOnThreeRegistersAtOnce)
{
    Shop shops[] = {Shop(emu::Model::DunoBis), Shop(emu::Model::DunoBis), Shop(emu::Model::Duno)};
    QTemporaryDir dir;
    QList<ChainRegister> registers;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(shops[i].running);
        registers << listed(QStringLiteral("kasa%1").arg(i + 1), shops[i].host.address(),
                            dir.filePath(QStringLiteral("kasa%1.vkf").arg(i + 1)));
    }

    ChainOf backup(registers);
    const QList<RegisterOutcome> copied = backup(chain::backupJob(registers, backup.detailsSink()));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(copied[i].ok()) << outcomesText(registers, copied).toStdString();
        EXPECT_TRUE(QFileInfo(registers[i].database).isFile());
        EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("kasa%1.kasa").arg(i + 1))).isFile());
        EXPECT_TRUE(chain::resultText(copied[i]).startsWith(QStringLiteral("OK: ")));
        EXPECT_TRUE(backup.details[i].last().startsWith(QStringLiteral("Zapisano ")));
    }
    EXPECT_EQ(copied[2].registerType, 1);
    EXPECT_EQ(chain::closingText(copied), QStringLiteral("Zakończono: 3 z 3 kas bez błędów."));

    // Whole databases back: each register asks its own check before programming, once.
    ChainOf whole(registers);
    const QList<RegisterOutcome> programmed = whole(chain::programmingJob(registers, {}));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(programmed[i].ok()) << outcomesText(registers, programmed).toStdString();
        EXPECT_TRUE(programmed[i].resume.isEmpty());
        EXPECT_LE(whole.uis[size_t(i)]->questions.size(), 1);
        EXPECT_EQ(shops[i].articles(), DemoArticles);
    }

    // One new price in the second register's database: only that article goes, only there.
    {
        QTemporaryDir work;
        DatabaseSession session(work.filePath(DatabaseSession::WorkingCopyName));
        ASSERT_TRUE(session.openDatabaseFile(registers[1].database).ok);
        ArticleRecord a = loadRecord<ArticleRecord>(session.database(), layout::Articles, 7);
        a.price = 4321;
        ASSERT_TRUE(storeRecord(session.database(), layout::Articles, 7, a));
        ASSERT_TRUE(session.saveDatabaseFile(registers[1].database).ok);
    }
    const qint32 before[] = {shops[0].price(7), shops[2].price(7)};
    ChainOf changed(registers);
    chain::Programming onlyChanged;
    onlyChanged.changedOnly = true;
    const QList<RegisterOutcome> sent =
        changed(chain::programmingJob(registers, onlyChanged, changed.detailsSink()));
    EXPECT_EQ(chain::closingText(sent), QStringLiteral("Zakończono: 3 z 3 kas bez błędów."))
        << outcomesText(registers, sent).toStdString();
    EXPECT_EQ(shops[1].price(7), 4321);
    EXPECT_EQ(shops[0].price(7), before[0]);
    EXPECT_EQ(shops[2].price(7), before[1]);
    EXPECT_EQ(sent[1].counts, QStringLiteral("1 z 1 rekordów"));
    EXPECT_EQ(sent[0].counts, QStringLiteral("0 rekordów"));
    EXPECT_FALSE(changed.details[1].filter(QStringLiteral("Towary")).isEmpty());

    ChainOf info(registers);
    const QList<RegisterOutcome> informed = info(chain::informationJob(info.detailsSink()));
    const QString models[] = {QStringLiteral("DUNO BIS"), QStringLiteral("DUNO BIS"),
                              QStringLiteral("DUNO")};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(informed[i].ok());
        ASSERT_FALSE(info.details[i].isEmpty());
        EXPECT_EQ(info.details[i].first(), QStringLiteral("Typ kasy: ") + models[i]);
        EXPECT_GT(info.details[i].size(), 20);
    }

    ChainOf probe(registers);
    for (const RegisterOutcome& o : probe(chain::probeJob()))
        EXPECT_EQ(chain::resultText(o), QStringLiteral("OK"));
}

// A register whose port is closed, one without a database in the list and one that falls
// silent during its copy each fail with a result of their own, and leave no file; the others
// finish.
TEST(ChainJobs, RegistersThatCannotTakePartFailAloneAndACopyCutShortWritesNoFile)
{
    Shop good(emu::Model::DunoBis), silent(emu::Model::DunoBis);
    ASSERT_TRUE(good.running && silent.running);
    {
        // The copy's first table reads go through; then the register says nothing more.
        auto hold = silent.host.lock();
        emu::FaultPlan plan;
        for (int frame = silent.reg.framesReceived() + 4; frame < 400; ++frame)
            plan.silent.insert(frame);
        silent.reg.setFaults(plan);
    }
    QTemporaryDir dir;
    const QString closed = QStringLiteral("tcp://127.0.0.1:%1").arg(unusedLoopbackPort());
    const QList<ChainRegister> registers = {
        listed(QStringLiteral("dobra"), good.host.address(), dir.filePath(QStringLiteral("a.vkf"))),
        listed(QStringLiteral("zamknięta"), closed, dir.filePath(QStringLiteral("b.vkf"))),
        listed(QStringLiteral("cicha"), silent.host.address(),
               dir.filePath(QStringLiteral("c.vkf"))),
        // On the good register's line at another address, taking its turn after it.
        listed(QStringLiteral("bez bazy"), good.host.address(), QString(), 2),
    };
    ChainOf backup(registers);
    const QList<RegisterOutcome> all = backup(chain::backupJob(registers));
    const QString text = outcomesText(registers, all);
    EXPECT_TRUE(all[0].ok()) << text.toStdString();
    EXPECT_TRUE(QFileInfo(registers[0].database).isFile());

    EXPECT_EQ(all[1].state, RegisterOutcome::State::Failed);
    EXPECT_TRUE(all[1].result.startsWith(QStringLiteral("Nie mogę"))) << text.toStdString();
    EXPECT_EQ(all[2].state, RegisterOutcome::State::Failed);
    EXPECT_EQ(all[2].result, QStringLiteral("Kopia niepełna. Nie zapisano pliku c.vkf."))
        << text.toStdString();
    EXPECT_EQ(all[3].result, QStringLiteral("Lista nie podaje bazy tej kasy."));
    for (const QString& name : {QStringLiteral("b"), QStringLiteral("c")}) {
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(name + QStringLiteral(".vkf"))))
            << name.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(name + QStringLiteral(".kasa"))));
    }
    EXPECT_EQ(chain::closingText(all), QStringLiteral("Zakończono: 1 z 4 kas bez błędów."));

    // Two registers naming one file copy into neither.
    const QList<ChainRegister> twice = {
        registers[0],
        listed(QStringLiteral("druga"), silent.host.address(), registers[0].database)};
    ChainOf same(twice);
    for (const RegisterOutcome& o : same(chain::backupJob(twice)))
        EXPECT_TRUE(o.result.startsWith(QStringLiteral("Ten sam plik kopii a.vkf co kasa „")))
            << o.result.toStdString();
}

// Shops behind TLS, as the list says to trust them: one by the CA's file, one by its pinned
// fingerprint, one whose pin is another certificate's. The last is refused with the reason
// before its register hears a byte; the others answer, each on its own thread.
TEST(ChainJobs, TlsRegistersAreTrustedAsTheListSays)
{
    const QString data = QStringLiteral(VDUNO_TLS_DATA);
    std::list<Shop> shops;
    std::list<emu::TlsFront> fronts;
    QList<quint16> ports;
    for (int k = 0; k < 3; ++k) {
        Shop& shop = shops.emplace_back(emu::Model::DunoBis, 0);
        ASSERT_TRUE(shop.running);
        emu::TlsFront& front = fronts.emplace_back(shop.host.port());
        ASSERT_TRUE(front.load(data + QStringLiteral("/server.pem"),
                               data + QStringLiteral("/server.key")) &&
                    front.start());
        ports << front.port();
    }
    QFile pinFile(data + QStringLiteral("/server.sha256"));
    ASSERT_TRUE(pinFile.open(QIODevice::ReadOnly));
    const QByteArray pin = pinFile.readAll().trimmed();
    const QByteArray otherPin(64, 'a');
    const QByteArray text =
        "ca tls://127.0.0.1:" + QByteArray::number(ports[0]) + " 1 ca=ca.pem\n" +
        "pin tls://127.0.0.1:" + QByteArray::number(ports[1]) + " 1 pin=" + pin + '\n' +
        "obca tls://127.0.0.1:" + QByteArray::number(ports[2]) + " 1 pin=" + otherPin + '\n';
    const chain::RegisterList list = chain::parseRegisterList(text, QStringLiteral("x"), data);
    ASSERT_TRUE(list.ok()) << list.errors.join(u'\n').toStdString();
    ChainOf probe(list.registers);
    const QList<RegisterOutcome> all = probe(chain::probeJob());
    const QString outcomes = outcomesText(list.registers, all);
    EXPECT_TRUE(all[0].ok()) << outcomes.toStdString();
    EXPECT_TRUE(all[1].ok()) << outcomes.toStdString();
    EXPECT_EQ(all[2].state, RegisterOutcome::State::Failed);
    EXPECT_TRUE(all[2].result.endsWith(QStringLiteral(") różni się od przypiętego (") +
                                       tlsPinText(QByteArray::fromHex(otherPin)) +
                                       QStringLiteral(").")))
        << outcomes.toStdString();
    auto hold = shops.back().host.lock();
    EXPECT_EQ(shops.back().reg.framesReceived(), 0) << "the refused register heard the program";
}

// The person stops a programming run of three registers half-way: each register ends at a
// frame boundary with the point it goes on from, and a second run from those points finishes
// every register without asking again.
TEST(ChainJobs, StoppedProgrammingGoesOnFromEachRegistersResumePoint)
{
    QTemporaryDir dir;
    QList<ChainRegister> sources;
    Shop demo[] = {Shop(emu::Model::DunoBis), Shop(emu::Model::DunoBis), Shop(emu::Model::Duno)};
    for (int i = 0; i < 3; ++i)
        sources << listed(QStringLiteral("kasa%1").arg(i + 1), demo[i].host.address(),
                          dir.filePath(QStringLiteral("kasa%1.vkf").arg(i + 1)));
    ChainOf backup(sources);
    for (const RegisterOutcome& o : backup(chain::backupJob(sources)))
        ASSERT_TRUE(o.ok()) << o.result.toStdString();

    // Empty registers of the same models, slow enough per record for the runs to overlap.
    Shop empty[] = {Shop(emu::Model::DunoBis, 0), Shop(emu::Model::DunoBis, 0),
                    Shop(emu::Model::Duno, 0)};
    QList<ChainRegister> registers = sources;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(empty[i].running);
        {
            auto hold = empty[i].host.lock();
            empty[i].reg.setRecordDelayMs(5);
        }
        registers[i].port = registers[i].device = empty[i].host.address();
    }
    ChainOf first(registers);
    first.uis[0]->stopAt = DemoArticles / 2;
    first.uis[0]->onStop = [&first] { first.chain->requestStop(); };
    const QList<RegisterOutcome> stopped = first(chain::programmingJob(registers, {}));
    ASSERT_FALSE(stopped[0].ok()) << outcomesText(registers, stopped).toStdString();
    EXPECT_EQ(stopped[0].result, QStringLiteral("Przerwano."));

    QList<ChainRegister> unfinished;
    chain::Programming resume;
    for (int i = 0; i < 3; ++i) {
        if (stopped[i].ok())
            continue;
        SCOPED_TRACE(i);
        const auto point = wholereg::ResumePoint::parse(stopped[i].resume);
        ASSERT_TRUE(point.has_value()) << stopped[i].resume.toStdString();
        EXPECT_FALSE(chain::resumeText(stopped[i].resume).isEmpty());
        unfinished << registers[i];
        resume.from << *point;
    }
    ChainOf second(unfinished);
    const QList<RegisterOutcome> finished = second(chain::programmingJob(unfinished, resume));
    for (qsizetype i = 0; i < unfinished.size(); ++i) {
        EXPECT_TRUE(finished[i].ok()) << outcomesText(unfinished, finished).toStdString();
        if (!resume.from[i].atStart()) {
            EXPECT_TRUE(second.uis[size_t(i)]->questions.isEmpty()) << "asked again";
        }
    }
    for (Shop& shop : empty)
        EXPECT_EQ(shop.articles(), DemoArticles);
    EXPECT_EQ(empty[0].price(5), demo[0].price(5));
}

// The texts the window shows for a register's result and its resume point.
TEST(ChainJobs, ResultAndResumeTexts)
{
    RegisterOutcome done;
    done.state = RegisterOutcome::State::Done;
    EXPECT_EQ(chain::resultText(done), QStringLiteral("OK"));
    done.counts = QStringLiteral("350 rekordów");
    EXPECT_EQ(chain::resultText(done), QStringLiteral("OK: 350 rekordów"));
    RegisterOutcome failed;
    failed.state = RegisterOutcome::State::Failed;
    failed.result = QStringLiteral("Przerwano.");
    failed.counts = QStringLiteral("12 z 40 rekordów");
    EXPECT_EQ(chain::resultText(failed), QStringLiteral("Przerwano. (12 z 40 rekordów)"));

    EXPECT_EQ(chain::resumeText(QStringLiteral("3:120")), QStringLiteral("Towary, wysłano 120"));
    EXPECT_EQ(chain::resumeText(QStringLiteral("0:0")), QStringLiteral("od początku"));
    EXPECT_EQ(chain::resumeText(QString()), QString());
    EXPECT_EQ(chain::closingText({done}), QStringLiteral("Zakończono: 1 z 1 kasy bez błędów."));
    EXPECT_EQ(chain::closingText({done, failed, done, done, done}),
              QStringLiteral("Zakończono: 4 z 5 kas bez błędów."));
}
