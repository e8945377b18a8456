// Articles programmed and checked through a poor cable: a proxy between the program and
// the register flips a random bit in some bytes, both ways, from a seed so that a failure can
// be replayed. At one byte in ten thousand the register must end equal to the database; at one
// in a thousand a run may fail, but only saying what differs: it never reports the register
// equal when it is not (compared with the register's own table, not through the line).
#include "common/transferui.h"
#include "database/databasesession.h"
#include "emulator/damageproxy.h"
#include "emulator/tcphost.h"
#include "link/link.h"
#include "sync/compare.h"
#include "sync/tablemembers.h"
#include "tables/articlerecord.h"
#include "tables/articlesend.h"
#include "tables/tablelayout.h"
#include "transfer/whole/verify.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kBis = 2;

struct PoorLine {
    double rate;
    quint64 seed;
    bool mustEndEqual;
    int articles;
};

void PrintTo(const PoorLine& c, std::ostream* os)
{
    *os << c.rate << " seed " << c.seed;
}

// Real time, as the line's own waits are; the check before programming is let through.
class GoOnUi : public SilentUi {
public:
    Answer ask(const QString&, Buttons, Icon, const QString&) override { return Answer::Yes; }
};

class PoorLineProgramming : public ::testing::TestWithParam<PoorLine> {};

TEST_P(PoorLineProgramming, EndsEqualOrSaysWhatDiffers)
{
    QTemporaryDir dir;
    DatabaseSession session(dir.filePath(DatabaseSession::WorkingCopyName));
    ASSERT_TRUE(session.createWorkingDatabase().ok);
    const int articles = GetParam().articles;
    for (int n = 1; n <= articles; ++n) {
        ArticleRecord r;
        r.number = n;
        r.name = QStringLiteral("Towar %1 żółty").arg(n);
        r.price = 100 + n;
        r.barcode = QString::number(5900000000000LL + n);
        ASSERT_TRUE(storeRecord(session.database(), layout::Articles, n, r));
    }
    emu::RegisterModel reg(emu::Model::DunoBis);
    emu::TcpHost host(reg);
    ASSERT_TRUE(host.start());
    emu::DamageProxy cable(host.port(), GetParam().rate, GetParam().seed);
    ASSERT_TRUE(cable.start());

    Link link;
    link.device = cable.address();
    link.port = 99;
    link.fastTransfers = true;
    GoOnUi ui;
    ASSERT_EQ(link.openPort(ui, true), 0);
    const articlesend::RunResult sent = articlesend::sendAll(
        link, ui, session.database(), articlesend::usedArticles(session.database()), kBis);
    wholereg::RestoreOptions options;
    options.only = {wholereg::Step::Articles};
    const wholereg::VerifyResult verified =
        sent.end == articlesend::RunResult::End::Completed
            ? wholereg::verifyProgrammed(link, ui, session.database(), kBis, options, {})
            : wholereg::VerifyResult{};
    link.closePort();
    cable.stop();

    // The register's own table beside the database, as the compare maps its images.
    int differing = 0;
    {
        auto hold = host.lock();
        const QList<basesync::Comparison> compared = basesync::compareRecords(
            articles,
            [&](int n) {
                return session.database().readBytes(layout::Articles.offsetOf(n),
                                                    layout::Articles.recordSize);
            },
            [&](int n) { return articleFromImage(reg.image(emu::RegisterModel::Articles, n)); },
            basesync::articleFields(true));
        for (const basesync::Comparison& c : compared)
            differing += c.kind == basesync::Comparison::Equal ? 0 : 1;
    }
    if (verified.equal) {
        EXPECT_EQ(differing, 0) << "the check called the register equal over " << differing
                                << " differing articles";
    }
    if (GetParam().mustEndEqual) {
        EXPECT_TRUE(verified.equal)
            << wholereg::verifyLines(verified).join(u'\n').toStdString() << "\n"
            << sent.messages().join(u'\n').toStdString();
    }
    EXPECT_GT(cable.damagedToRegister() + cable.damagedToProgram(), 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, PoorLineProgramming,
                         ::testing::Values(PoorLine{1e-4, 1, true, 2000},
                                           PoorLine{1e-4, 2, true, 2000},
                                           PoorLine{1e-4, 3, true, 2000},
                                           PoorLine{1e-3, 4, false, 300},
                                           PoorLine{1e-3, 5, false, 300}),
                         [](const auto& info) { return std::to_string(info.index); });

} // namespace
