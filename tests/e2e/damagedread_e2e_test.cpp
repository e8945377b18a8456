// Table reads on a poor cable: a data frame that fails its check byte is acknowledged as
// received, its record counted missing and the table read again, until nothing is missing or
// three more passes were made. Exact cases with the emulator's seeded faults on the real link
// (a pseudo-terminal), then the whole article base through a proxy that damages bytes at
// random both ways.
#include "faultmatrix.h"

#include "emulator/damageproxy.h"
#include "emulator/tcphost.h"
#include "link/frametrace.h"
#include "sync/articlesync.h"
#include "sync/tablemembers.h"
#include "sync/tablesync.h"
#include "tables/articleread.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"
#include "transfer/sales.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <memory>

using namespace fm;
using emu::RegisterModel;

namespace {

QByteArray littleEndian(quint32 value, int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i)
        b.append(char((value >> (8 * i)) & 0xFF));
    return b;
}

// Article n as the register keeps it: name "Towar n", VAT "A", a price, a barcode of digits,
// group 1, sold in whole pieces, sold n times for n grosze, never on a date, unit 1.
QByteArray articleImage(int n)
{
    QByteArray img = littleEndian(quint32(n), 2) + QByteArray("Towar ") + QByteArray::number(n);
    img = img.leftJustified(44, '\0') + 'A' + littleEndian(quint32(100 * n + 99), 4);
    img += littleEndian(quint32(n), 4) + littleEndian(quint32(n), 4);
    img += QByteArray::number(5900000000000LL + n);
    img += QByteArray("\x01\x00\x00\x01\x00", 5) + QByteArray("\x00\x00\x00\x00\x18\x00", 6);
    return img + '\x01';
}

void putArticles(Rig& rig, const QList<int>& numbers)
{
    for (int n : numbers)
        rig.setImage(RegisterModel::Articles, n, articleImage(n));
}

void corrupt(Rig& rig, const QSet<int>& frames)
{
    emu::FaultPlan plan;
    plan.corrupt = frames;
    auto hold = rig.host.lock();
    rig.reg.setFaults(plan);
}

QList<int> range(int from, int to)
{
    QList<int> out;
    for (int n = from; n <= to; ++n)
        out << n;
    return out;
}

// One exact case: the articles the register holds and the frames whose answers it damages,
// counted as the register counts the frames it receives (a pass of a base of n articles takes
// the request and n acknowledgements; a pass whose last frame was damaged two more, the
// acknowledgement the register no longer answers and the same once more).
struct Exact {
    const char* name;
    QList<int> articles;
    QSet<int> corrupt;
    QHash<int, int> deviceError; // the register's error frame instead of its answer
    int reread;
    QStringList messages; // empty: the whole base came, nothing said
};

const QString kNoAnswer = QStringLiteral("Brak komunikacji.");

const Exact kExact[] = {
    {"one damaged frame in the middle", range(1, 10), {5}, {}, 1, {}},
    {"the first frame damaged", range(1, 10), {1}, {}, 1, {}},
    {"the last frame damaged", range(1, 10), {10}, {}, 1, {}},
    {"two damaged frames in a row", range(1, 10), {5, 6}, {}, 2, {}},
    {"the same frame damaged in two passes", range(1, 10), {5, 16}, {}, 1, {}},
    {"an acknowledgement that reached the register damaged", range(1, 10), {}, {{5, 1}}, 0, {}},
    {"the same frame damaged in every pass",
     range(1, 10),
     {5, 16, 27, 38},
     {},
     0,
     {QStringLiteral("Nie odczytano rekordów: nr 5.")}},
    {"a damaged frame between free slots in every pass",
     {2, 5, 9, 14, 20},
     {3, 9, 15, 21},
     {},
     0,
     {QStringLiteral("Nie odczytano rekordów: 1 po rekordzie 5.")}},
    {"the last frame damaged in every pass",
     range(1, 10),
     {10, 22, 34, 46},
     {},
     0,
     {kNoAnswer, QStringLiteral("Nie odczytano rekordów: po rekordzie 9.")}},
};

} // namespace

// "Odczytaj z kasy" into the database: the whole base, the frames read again counted; or,
// when a record stays missing, the read names it and writes nothing.
TEST(DamagedRead, ExactFaultsOnTheArticleRead)
{
    for (const Exact& c : kExact) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ASSERT_TRUE(rig.ok());
        putArticles(rig, c.articles);
        {
            emu::FaultPlan plan;
            plan.corrupt = c.corrupt;
            plan.deviceError = c.deviceError;
            auto hold = rig.host.lock();
            rig.reg.setFaults(plan);
        }
        const QByteArray before = rig.dbBytes();
        const articleread::Result r = articleread::readArticles(rig.link, rig.ui, rig.db(), 2);
        EXPECT_EQ(rig.ui.messages, c.messages);
        EXPECT_EQ(r.reread, c.reread);
        const bool whole = c.messages.isEmpty();
        EXPECT_EQ(r.complete(), whole);
        EXPECT_EQ(r.missing.isEmpty(), whole);
        if (!whole) {
            EXPECT_TRUE(rig.dbBytes() == before) << "an incomplete read wrote the database";
            EXPECT_EQ(r.passes, 4);
            continue;
        }
        const QByteArray table = readTable(rig.db(), layout::Articles);
        for (int n = 1; n <= layout::Articles.count; ++n) {
            const QByteArray want = c.articles.contains(n)
                                        ? articleFromImage(articleImage(n))
                                        : QByteArray(layout::Articles.recordSize, '\0');
            ASSERT_EQ(layout::Articles.record(table, n).toByteArray(), want) << n;
        }
    }
}

// A stop ends the read where it is: the register is told with acknowledgement 4, what came is
// written as before, and no pass follows, although a damaged frame left a record missing.
TEST(DamagedRead, StopNeverStartsAnotherPass)
{
    Rig rig;
    ASSERT_TRUE(rig.ok());
    putArticles(rig, range(1, 10));
    corrupt(rig, {3});
    rig.ui.stopAfterEvents = 6;
    const articleread::Result r = articleread::readArticles(rig.link, rig.ui, rig.db(), 2);
    EXPECT_TRUE(r.stopped);
    EXPECT_FALSE(r.complete());
    EXPECT_EQ(r.passes, 1);
    // Articles 1, 2, 4, 5 and 6, the frame answered with "stop"; 3 came damaged.
    EXPECT_EQ(r.recordsWritten, 5);
    EXPECT_TRUE(rig.ui.messages.isEmpty()) << rig.ui.messages.join(u'\n').toStdString();
    const auto requests = std::count_if(rig.sent.begin(), rig.sent.end(), [](const QByteArray& f) {
        return f.size() == 11 && f[6] == 'T';
    });
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(rig.sent.last(), QByteArray("\x02\x01\x0A\x00\x01\x00\x06\x04\x08\x03", 10));
}

// Every table read of the program meets one damaged frame in the middle of five records and
// brings the whole table, that frame read again in a second pass.
TEST(DamagedRead, EveryTableReadReadsADamagedFrameAgain)
{
    struct Read {
        const char* name;
        std::function<void(Rig&)> prepare;
        // Runs the read; true when it came whole and what it got is the register's table.
        std::function<bool(Rig&, int& reread)> run;
    };
    const Read reads[] = {
        {"article base into the database", [](Rig& rig) { putArticles(rig, range(1, 5)); },
         [](Rig& rig, int& reread) {
             const auto r = articleread::readArticles(rig.link, rig.ui, rig.db(), 2);
             reread = r.reread;
             const QByteArray table = readTable(rig.db(), layout::Articles);
             bool same = true;
             for (int n = 1; n <= 5; ++n)
                 same = same && layout::Articles.record(table, n).toByteArray() ==
                                    articleFromImage(articleImage(n));
             return r.complete() && same;
         }},
        {"article base for the synchronisation", [](Rig& rig) { putArticles(rig, range(1, 5)); },
         [](Rig& rig, int& reread) {
             basesync::ArticleSync sync;
             const auto r = sync.read(rig.link, rig.ui, 2);
             reread = r.reread;
             bool same = sync.registerNumbers() == range(1, 5);
             for (int n = 1; n <= 5; ++n)
                 same = same && sync.image(n) == articleImage(n);
             return r.complete && same;
         }},
        {"discounts for the synchronisation",
         [](Rig& rig) {
             for (int n = 1; n <= 5; ++n)
                 rig.setImage(RegisterModel::Discounts, n,
                              QByteArray(1, char(n)) + QByteArray("Rabat ").leftJustified(35, 'x'));
         },
         [](Rig& rig, int& reread) {
             basesync::TableSync sync(basesync::discountsMember());
             const auto r = sync.read(rig.link, rig.ui);
             reread = r.reread;
             bool same = sync.registerNumbers() == range(1, 5);
             auto hold = rig.host.lock();
             for (int n = 1; n <= 5; ++n)
                 same = same && sync.image(n) == rig.reg.image(RegisterModel::Discounts, n);
             return r.complete && same;
         }},
        {"sales download", [](Rig& rig) { putArticles(rig, range(1, 5)); },
         [](Rig& rig, int& reread) {
             transfer::SalesBuffer buffer;
             const auto r = transfer::downloadSales(rig.link, rig.ui, buffer, false);
             reread = r.reread;
             bool same = buffer.usedCount() == 5;
             for (int n = 1; n <= 5; ++n) {
                 const QByteArray img = articleImage(n);
                 const transfer::SalesRecord want =
                     transfer::decodeSalesRecord(QByteArray(img.left(45) + img.mid(49, 8)));
                 const transfer::SalesRecord& got = buffer.records()[size_t(n - 1)];
                 same = same && got.number == n && got.name == want.name &&
                        got.quantity == want.quantity && got.value == want.value;
             }
             return r.complete && same;
         }},
        {"group turnover",
         [](Rig& rig) {
             auto hold = rig.host.lock();
             rig.reg.groupTurnover().clear();
             for (int m = 1; m <= 5; ++m)
                 rig.reg.groupTurnover().append(
                     (QByteArray(1, char(m)) + littleEndian(2026, 2) + QByteArray(80, char(m))));
         },
         [](Rig& rig, int& reread) {
             const auto r = transfer::readGroupTurnover(rig.link, rig.ui);
             reread = r.reread;
             QStringList want;
             auto hold = rig.host.lock();
             for (const QByteArray& month : rig.reg.groupTurnover())
                 want += transfer::turnoverLines(month);
             return r.ok && r.lines == want;
         }},
    };
    for (const Read& read : reads) {
        SCOPED_TRACE(read.name);
        Rig rig;
        ASSERT_TRUE(rig.ok());
        read.prepare(rig);
        corrupt(rig, {3});
        int reread = -1;
        EXPECT_TRUE(read.run(rig, reread));
        EXPECT_EQ(reread, 1);
        EXPECT_TRUE(rig.ui.messages.isEmpty()) << rig.ui.messages.join(u'\n').toStdString();
    }
}

// The frame trace marks the frame read again and the pass that read it; the frames keep their
// own lines.
TEST(DamagedRead, TraceNotesTheSecondPass)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    Rig rig;
    ASSERT_TRUE(rig.ok());
    putArticles(rig, range(1, 4));
    corrupt(rig, {2});
    FrameTrace trace;
    ASSERT_TRUE(trace.open(path));
    rig.link.trace = trace.hook();
    EXPECT_TRUE(articleread::readArticles(rig.link, rig.ui, rig.db(), 2).complete());
    trace.close();
    rig.link.trace = {};
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QStringList notes;
    int frames = 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        if (text.size() > 24 && text.mid(24, 2) == QStringLiteral("# "))
            notes << text.mid(26);
        else if (text.size() > 24)
            ++frames;
    }
    EXPECT_EQ(notes, (QStringList{QStringLiteral("uszkodzona ramka 2 (przejście 1)"),
                                  QStringLiteral("ponowny odczyt (przejście 2)")}));
    // Two passes of the request, four frames and four acknowledgements, and the drains' reads.
    EXPECT_GE(frames, 18);
}

namespace {

// A register behind a cable that damages bytes: `rate` a byte, both ways, from `seed`.
struct DamagedLine {
    DamagedLine(int articles, double rate, quint64 seed)
        : host(reg), session(dir.filePath(DatabaseSession::WorkingCopyName))
    {
        reg.fillDemo(articles);
        dbOk = dir.isValid() && session.startUp().ok;
        if (!host.start())
            return;
        proxy = std::make_unique<emu::DamageProxy>(host.port(), rate, seed);
        if (!proxy->start())
            return;
        link.device = proxy->address();
        link.port = Rig::kPort;
        opened = link.openPort(ui, true) == 0;
    }
    ~DamagedLine() { link.closePort(); }
    bool ok() const { return dbOk && opened; }
    QByteArray image(int n)
    {
        auto hold = host.lock();
        return reg.image(RegisterModel::Articles, n);
    }

    RegisterModel reg{emu::Model::DunoBis};
    emu::TcpHost host;
    std::unique_ptr<emu::DamageProxy> proxy;
    QTemporaryDir dir;
    DatabaseSession session;
    Link link;
    FakeUi ui;
    bool dbOk = false, opened = false;
};

struct Seeded {
    double rate;
    quint64 seed;
};
void PrintTo(const Seeded& s, std::ostream* os)
{
    *os << "rate " << s.rate << ", seed " << s.seed;
}

class OneInTenThousand : public ::testing::TestWithParam<Seeded> {};
class OneInAThousand : public ::testing::TestWithParam<Seeded> {};

} // namespace

// At one damaged byte in ten thousand a read of 2000 articles meets about twenty damaged
// frames and a couple of damaged acknowledgements; it brings the whole base, each article as
// the register holds it.
TEST_P(OneInTenThousand, TheWholeArticleBaseComes)
{
    DamagedLine line(2000, GetParam().rate, GetParam().seed);
    ASSERT_TRUE(line.ok()) << line.ui.messages.join(u'\n').toStdString();
    const articleread::Result r =
        articleread::readArticles(line.link, line.ui, line.session.database(), 2);
    RecordProperty("passes", r.passes);
    RecordProperty("reread", r.reread);
    EXPECT_TRUE(r.complete()) << line.ui.messages.join(u'\n').toStdString();
    EXPECT_TRUE(line.ui.messages.isEmpty()) << line.ui.messages.join(u'\n').toStdString();
    EXPECT_GT(line.proxy->damagedToProgram() + line.proxy->damagedToRegister(), 0);
    const QByteArray table = readTable(line.session.database(), layout::Articles);
    for (int n = 1; n <= 2000; ++n)
        ASSERT_EQ(layout::Articles.record(table, n).toByteArray(), articleFromImage(line.image(n)))
            << "article " << n;
}
INSTANTIATE_TEST_SUITE_P(DamagedRead, OneInTenThousand,
                         ::testing::Values(Seeded{1e-4, 1}, Seeded{1e-4, 2}, Seeded{1e-4, 3}));

// At one in a thousand a read either brings the whole base or says what is missing; what it
// holds is always what the register holds, never a record the damage changed.
TEST_P(OneInAThousand, TheBaseComesWholeOrTheMissingAreNamed)
{
    constexpr int kArticles = 500;
    DamagedLine line(kArticles, GetParam().rate, GetParam().seed);
    ASSERT_TRUE(line.ok()) << line.ui.messages.join(u'\n').toStdString();
    basesync::ArticleSync sync;
    const basesync::ReadOutcome r = sync.read(line.link, line.ui, 2);
    RecordProperty("passes", r.passes);
    RecordProperty("reread", r.reread);
    const QList<int> got = sync.registerNumbers();
    for (int n : got)
        ASSERT_EQ(sync.image(n), line.image(n)) << "article " << n;
    if (r.complete) {
        EXPECT_EQ(got, range(1, kArticles));
        EXPECT_TRUE(r.missing.isEmpty());
    } else {
        EXPECT_TRUE(r.missing.startsWith(QStringLiteral("Nie odczytano")))
            << r.missing.toStdString();
        EXPECT_TRUE(line.ui.messages.contains(r.missing));
    }
}
INSTANTIATE_TEST_SUITE_P(DamagedRead, OneInAThousand,
                         ::testing::Values(Seeded{1e-3, 1}, Seeded{1e-3, 2}));
