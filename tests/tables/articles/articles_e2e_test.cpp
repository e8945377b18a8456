// The article runs over the real link against the register emulator on a pseudo-terminal.
#include "articletestdb.h"
#include "fakeui.h"

#include "emulator/emulatorhost.h"
#include "link/link.h"
#include "link/portmap.h"
#include "tables/articleread.h"
#include "tables/articlesend.h"

#include <gtest/gtest.h>

namespace {

struct Bench {
    explicit Bench(emu::Model model, const emu::FaultPlan& faults = {}) : reg(model), host(reg)
    {
        reg.setFaults(faults);
        started = host.start();
        portmap::setPortOverride(42, host.devicePath());
        link.port = 42;
        opened = started && link.openPort(ui, true) == 0;
        link.trace = [this](char dir, QByteArrayView bytes) {
            if (dir == '>' && bytes.size() > 6 && bytes[6] == 'T' && bytes.size() > 11)
                sequences.append(quint16(quint8(bytes[4]) | (quint8(bytes[5]) << 8)));
        };
    }
    ~Bench()
    {
        {
            // The program numbers the frames of every run as the register requires.
            auto hold = host.lock();
            EXPECT_EQ(reg.numberingErrors(), 0) << "the register refused a frame's number";
        }
        link.closePort();
        portmap::clearPortOverrides();
    }
    void articles(int count)
    {
        for (int n = 1; n <= count; ++n)
            db.put(TestDb::article(n, QStringLiteral("Artykuł ") + QString::number(n), 100 * n));
    }
    QByteArray registerImage(int n)
    {
        auto lock = host.lock();
        return reg.image(emu::RegisterModel::Articles, n);
    }
    emu::RegisterModel reg;
    emu::EmulatorHost host;
    Link link;
    FakeUi ui;
    TestDb db;
    QList<quint16> sequences;
    bool started = false;
    bool opened = false;
};

} // namespace

TEST(ArticlesAgainstEmulator, SendAllEveryArticleConfirmedOnBothModels)
{
    for (auto [model, type] : {std::pair{emu::Model::DunoBis, 2}, std::pair{emu::Model::Duno, 1}}) {
        Bench b(model);
        ASSERT_TRUE(b.opened) << b.ui.messages.join(u'\n').toStdString();
        b.articles(4);
        const auto run = articlesend::sendAll(b.link, b.ui, b.db.db(),
                                              articlesend::usedArticles(b.db.db()), type);
        EXPECT_EQ(run.programmed, 4);
        EXPECT_EQ(run.messages(), QStringList{QStringLiteral(" Zaprogramowano 4 towarów.")});
        EXPECT_EQ(b.sequences, (QList<quint16>{1, 2, 3, 0x8004}));
        EXPECT_EQ(b.registerImage(3).mid(2, 11), QByteArray("Artyku\xb3 3", 10) + '\0');
        auto hold = b.host.lock();
        EXPECT_FALSE(b.reg.runOpen());
    }
}

TEST(ArticlesAgainstEmulator, RefusedArticleListedWithItsDeviceErrorText)
{
    Bench b(emu::Model::DunoBis);
    ASSERT_TRUE(b.opened);
    b.articles(3);
    ArticleRecord bad = TestDb::article(2, QStringLiteral("Bez grupy"));
    bad.group = 9; // no such group in the register
    b.db.put(bad);
    const auto run = articlesend::sendAll(b.link, b.ui, b.db.db(), {1, 2, 3}, 2);
    EXPECT_EQ(run.programmed, 2);
    ASSERT_EQ(run.refused.size(), 1);
    EXPECT_EQ(run.messages().value(1),
              QStringLiteral("Niezaprogramowane towary:\n2.Bez grupy - Zły numer grupy towarowej "
                             "(więcej niż 20 lub grupa niezaprogramowana)"));
}

TEST(ArticlesAgainstEmulator, BusyAnswerWaitedOut)
{
    emu::FaultPlan faults;
    faults.busy = {2};
    Bench b(emu::Model::DunoBis, faults);
    ASSERT_TRUE(b.opened);
    b.articles(3);
    int notices = 0;
    articlesend::Panel panel;
    panel.printingNotice = [&](bool shown) { notices += shown ? 1 : 0; };
    const auto run = articlesend::sendAll(b.link, b.ui, b.db.db(), {1, 2, 3}, 2, panel);
    EXPECT_EQ(run.programmed, 3);
    EXPECT_EQ(notices, 1);
    EXPECT_TRUE(b.ui.waits.contains(450));
}

TEST(ArticlesAgainstEmulator, EndMarkerAfterCancel)
{
    Bench b(emu::Model::DunoBis);
    ASSERT_TRUE(b.opened);
    b.articles(4);
    b.ui.stopAfterEvents = 3;
    const auto run = articlesend::sendAll(b.link, b.ui, b.db.db(), {1, 2, 3, 4}, 2);
    EXPECT_TRUE(run.cancelled);
    // The register acknowledges the marked frame with code 3, which ends the run.
    EXPECT_EQ(b.sequences, (QList<quint16>{1, 2, 0x8003}));
    EXPECT_EQ(run.programmed, 3);
    EXPECT_EQ(run.end, articlesend::RunResult::End::RegisterEnded);
    EXPECT_EQ(run.messages(), QStringList{QStringLiteral("Przerwano. Wysłano 3 z 4.")});
}

// The frame after "Anuluj" closes the register's run even when the register refuses the
// article it carries: the run ends there, and no frame goes out of sequence after it.
TEST(ArticlesAgainstEmulator, RefusedFrameAfterCancelStillEndsTheRun)
{
    Bench b(emu::Model::DunoBis);
    ASSERT_TRUE(b.opened);
    b.articles(4);
    ArticleRecord bad = TestDb::article(3, QStringLiteral("Zła stawka"));
    bad.vat = 'E';
    b.db.put(bad);
    b.ui.stopAfterEvents = 3;
    const auto run = articlesend::sendAll(b.link, b.ui, b.db.db(), {1, 2, 3, 4}, 2);
    EXPECT_TRUE(run.cancelled);
    EXPECT_EQ(b.sequences, (QList<quint16>{1, 2, 0x8003}));
    EXPECT_EQ(run.programmed, 2);
    EXPECT_EQ(run.messages(),
              (QStringList{QStringLiteral("Przerwano. Wysłano 2 z 4. Nie udało się zaprogramować "
                                          "1 towarów."),
                           QStringLiteral("Niezaprogramowane towary:\n3.Zła stawka - Zła wartość "
                                          "stawki podatkowej PTU (więcej niż 'G' lub ptu "
                                          "niezaprogramowane)")}));
    auto hold = b.host.lock();
    EXPECT_FALSE(b.reg.runOpen());
}

// The register took the third article but its answer never came: the article goes again as
// the first frame of a new run, and the run goes on from it, numbered from 1.
TEST(ArticlesAgainstEmulator, AnAnswerLostOnTheLineSendsTheArticleAgain)
{
    emu::FaultPlan faults;
    faults.silent = {3};
    Bench b(emu::Model::DunoBis, faults);
    ASSERT_TRUE(b.opened);
    b.articles(5);
    const auto run = articlesend::sendAll(b.link, b.ui, b.db.db(), {1, 2, 3, 4, 5}, 2);
    EXPECT_EQ(run.end, articlesend::RunResult::End::Completed);
    EXPECT_EQ(run.messages(), QStringList{QStringLiteral(" Zaprogramowano 5 towarów. Ramki "
                                                         "wysłane ponownie: 1.")});
    EXPECT_EQ(b.sequences, (QList<quint16>{0x0001, 0x0002, 0x0003, 0x0001, 0x0002, 0x8003}));
}

TEST(ArticlesAgainstEmulator, ReadBackOnBothModels)
{
    for (auto [model, type] : {std::pair{emu::Model::DunoBis, 2}, std::pair{emu::Model::Duno, 1}}) {
        Bench b(model);
        ASSERT_TRUE(b.opened);
        {
            auto lock = b.host.lock();
            const int size = emu::RegisterModel::imageSize(emu::RegisterModel::Articles, model);
            QByteArray img(size, '\0');
            img[0] = 7;
            img.replace(2, 5, "Kefir");
            img[44] = 'A';
            img[45] = 0x64; // 100
            img.replace(57, 13, "  12345678901");
            img[70] = 1;
            img[73] = 1;
            if (size > 81)
                img[81] = 2;
            b.reg.setImage(emu::RegisterModel::Articles, 7, img);
        }
        b.db.put(TestDb::article(50, QStringLiteral("Tylko w bazie")));
        const auto result = articleread::readArticles(b.link, b.ui, b.db.db(), type);
        EXPECT_TRUE(result.complete()) << b.ui.messages.join(u'\n').toStdString();
        const ArticleRecord r = ArticleRecord::decode(b.db.articleBytes(7));
        EXPECT_EQ(r.name, QStringLiteral("Kefir"));
        EXPECT_EQ(r.price, 100);
        EXPECT_EQ(r.barcode, QStringLiteral("0012345678901"));
        EXPECT_TRUE(r.wholeQuantity);
        EXPECT_EQ(r.unit, type == 2 ? 2 : 0);
        EXPECT_EQ(ArticleRecord::decode(b.db.articleBytes(50)).name,
                  QStringLiteral("Tylko w bazie"));
    }
}

TEST(ArticlesAgainstEmulator, SingleSendConfirmedAndRefused)
{
    Bench b(emu::Model::Duno);
    ASSERT_TRUE(b.opened);
    b.articles(2);
    ArticleRecord bad = TestDb::article(2, QStringLiteral("Zła stawka"));
    bad.vat = 'E';
    b.db.put(bad);
    const int saved = articlesend::sendArticle(b.link, b.ui, b.db.db(), 1, 1);
    EXPECT_EQ(articlesend::singleSendMessage(saved, b.link.at(8)),
              QStringLiteral("Towar zapisano w kasie"));
    const int refused = articlesend::sendArticle(b.link, b.ui, b.db.db(), 2, 1);
    EXPECT_EQ(articlesend::singleSendMessage(refused, b.link.at(8)),
              QStringLiteral("Błąd 7: Zła wartość stawki podatkowej PTU (więcej niż 'G' lub ptu "
                             "niezaprogramowane)"));
    EXPECT_EQ(b.sequences, (QList<quint16>{0x8001, 0x8001}));
}
