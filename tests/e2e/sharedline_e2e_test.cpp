// Several registers on one line: the emulator's registers at addresses 1, 2 and 3 behind one
// pseudo-terminal, reached through the program's real link. The register scan finds each of
// them, and an article programmed at one address lands in that register alone.
#include "faultmatrix.h"
#include "link/portscan.h"
#include "tables/articlesend.h"

using emu::RegisterModel;

namespace portscan {
inline void PrintTo(const FoundRegister& f, std::ostream* os)
{
    *os << "COM" << f.port << " address " << int(f.address);
}
} // namespace portscan

namespace {

constexpr qint64 kArticleBase = 5000;
constexpr int kArticleSize = 68;
constexpr int kPort = 42;

// Article record n, written out byte by byte: number, name "Towar <n>" (0-padded to 42),
// VAT "A", price 250, barcode "590000000" + four digits, group 1, whole pieces, unit 1.
QByteArray articleRecord(int n)
{
    QByteArray r(kArticleSize, '\0');
    r[0] = char(n);
    const QByteArray name = "Towar " + QByteArray::number(n);
    r.replace(2, int(name.size()), name);
    r[44] = 'A';
    r[45] = char(250);
    r.replace(49, 13, QByteArray("590000000").append(QByteArray::number(1000 + n)));
    r[62] = 1;
    r[65] = 1;
    r[67] = 1;
    return r;
}

// Every COM number but kPort points at nothing, so the scan's only line is the shared one.
struct SharedLine {
    SharedLine()
        : regs{RegisterModel(emu::Model::DunoBis, 1), RegisterModel(emu::Model::DunoBis, 2),
               RegisterModel(emu::Model::DunoBis, 3)},
          host({&regs[0], &regs[1], &regs[2]}),
          link([] { return std::make_unique<fm::QuickLine>(); }),
          session(dir.filePath(DatabaseSession::WorkingCopyName))
    {
        started = host.start();
        for (int p = 1; p <= 99; ++p)
            portmap::setPortOverride(p, p == kPort ? host.devicePath()
                                                   : dir.filePath(QStringLiteral("no-device")));
        dbOk = dir.isValid() && session.startUp().ok;
    }
    ~SharedLine()
    {
        link.closePort();
        portmap::clearPortOverrides();
    }
    // The article numbers the register at `address` holds.
    QList<int> articlesIn(int address)
    {
        auto hold = host.lock();
        QList<int> numbers;
        for (int n = 1; n <= RegisterModel::recordCount(RegisterModel::Articles); ++n)
            if (regs[address - 1].image(RegisterModel::Articles, n).at(0) != 0)
                numbers.append(n);
        return numbers;
    }

    QTemporaryDir dir;
    RegisterModel regs[3];
    emu::EmulatorHost host;
    Link link;
    FakeUi ui;
    DatabaseSession session;
    bool started = false;
    bool dbOk = false;
};

} // namespace

TEST(SharedLine, ScanFindsEveryRegisterAndEachTakesOnlyTheArticlesSentToItsAddress)
{
    SharedLine line;
    ASSERT_TRUE(line.started && line.dbOk);

    // Probes at addresses 4 to 9 go unanswered; 1, 2 and 3 answer on the one port.
    const portscan::ScanResult scan = portscan::registerScan(line.link, line.ui);
    ASSERT_EQ(scan.found, (QList<portscan::FoundRegister>{{kPort, 1}, {kPort, 2}, {kPort, 3}}));
    EXPECT_EQ(scan.portsOpened, 1);

    // Which found register is chosen, and the article sent to it.
    const struct {
        int address;
        int article;
    } rows[] = {{2, 7}, {3, 12}, {1, 30}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.address);
        line.session.database().writeRecord(kArticleBase + (row.article - 1) * kArticleSize,
                                            articleRecord(row.article));
        ASSERT_TRUE(portscan::connectFound(line.link, line.ui, scan.found[row.address - 1]));
        ASSERT_EQ(line.link.address, row.address);
        const int result = articlesend::sendArticle(line.link, line.ui, line.session.database(),
                                                    row.article, 2, articlesend::AfterAddition);
        EXPECT_EQ(articlesend::singleSendMessage(result, line.link.at(8)),
                  QStringLiteral("Towar zapisano w kasie"));
    }
    // Each register holds the one article sent to its address, in its own image.
    EXPECT_EQ(line.articlesIn(1), QList<int>{30});
    EXPECT_EQ(line.articlesIn(2), QList<int>{7});
    EXPECT_EQ(line.articlesIn(3), QList<int>{12});
    {
        auto hold = line.host.lock();
        EXPECT_EQ(line.regs[1].image(RegisterModel::Articles, 7).left(49),
                  articleRecord(7).left(49));
    }
    EXPECT_TRUE(line.ui.messages.isEmpty()) << line.ui.messages.join(u'\n').toStdString();
}
