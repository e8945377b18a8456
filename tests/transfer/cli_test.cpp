// vduno info, sales, turnover, copy, cache-dump and settings, run as the built program
// against its in-process emulator.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
    int code = -1;
    QString out, err;
};

Result vduno(const QStringList& args, const QString& dir = {})
{
    QProcess p;
    if (!dir.isEmpty())
        p.setWorkingDirectory(dir);
    p.start(QStringLiteral(VDUNO_BINARY), QStringList{QStringLiteral("--emulator")} + args);
    Result r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitCode();
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

} // namespace

TEST(DataCli, InfoPrintsEveryField)
{
    const Result r = vduno({QStringLiteral("info")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.first(), QStringLiteral("Typ kasy: DUNO BIS"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Wersja oprogramowania: 2,00")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Stan pamięci: OTWARTA")));
    EXPECT_EQ(lines.size(), 1 + 29);
}

TEST(DataCli, SalesListAndCsv)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("s.csv"));
    const Result r = vduno({QStringLiteral("sales"), QStringLiteral("--csv"), csv});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 200); // the demo's 300 articles, every third unsold
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = f.readAll().split('\n');
    EXPECT_EQ(rows.first(), QByteArray("Numer;Nazwa;PTU;Ilo\x9C\xE6;Warto\x9C\xE6;"));
    EXPECT_EQ(rows.size(), 1 + 200 + 1); // header, records, nothing after the last line feed
    const Result all = vduno({QStringLiteral("sales"), QStringLiteral("--all")});
    EXPECT_EQ(all.out.split(u'\n', Qt::SkipEmptyParts).size(), 300);
}

TEST(DataCli, SalesClearNeedsYes)
{
    const Result no = vduno({QStringLiteral("sales"), QStringLiteral("clear")});
    EXPECT_EQ(no.code, 1);
    EXPECT_TRUE(no.err.contains(QStringLiteral("Nic nie wysłano.")));
    const Result yes =
        vduno({QStringLiteral("sales"), QStringLiteral("clear"), QStringLiteral("--yes")});
    EXPECT_EQ(yes.code, 0);
    EXPECT_TRUE(yes.err.contains(QStringLiteral("Sprzedaż skasowana")));
}

TEST(DataCli, TurnoverAndCopy)
{
    const Result t = vduno({QStringLiteral("turnover")});
    ASSERT_EQ(t.code, 0);
    EXPECT_EQ(t.out.split(u'\n').size(), 12 * 22 + 1);
    const Result c = vduno({QStringLiteral("copy"), QStringLiteral("last")});
    ASSERT_EQ(c.code, 0);
    EXPECT_TRUE(c.out.startsWith(QStringLiteral("PARAGON FISKALNY nr 1\n")));
    const Result bad = vduno({QStringLiteral("copy"), QStringLiteral("numbers"),
                              QStringLiteral("--reports"), QStringLiteral("0-5")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("Błędnie wprowadzone dane")));
    EXPECT_EQ(vduno({QStringLiteral("copy"), QStringLiteral("sideways")}).code, 2);
}

TEST(DataCli, CacheDumpWritesTheDefaultFile)
{
    QTemporaryDir dir;
    const Result r = vduno({QStringLiteral("cache-dump")}, dir.path());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("Odebrane pakiety danych: 40 / 8192"));
    QFile f(dir.filePath(QStringLiteral("Kopia_cache.bin")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.indexOf("\rData wykoniania kopii: "), 40 * 256);
}

TEST(DataCli, SettingsGetAndSend)
{
    const Result g = vduno({QStringLiteral("settings"), QStringLiteral("get")});
    ASSERT_EQ(g.code, 0);
    EXPECT_TRUE(g.out.startsWith(QStringLiteral("numer_kasy=1  (Numer kasy)\n")));
    const Result s =
        vduno({QStringLiteral("settings"), QStringLiteral("send"), QStringLiteral("numer_kasy=9"),
               QStringLiteral("czas_wylaczenia=30"), QStringLiteral("impuls_szuflady=255"),
               QStringLiteral("max_paragon=0"), QStringLiteral("podswietlenie_operatora=50"),
               QStringLiteral("podswietlenie_klienta=50")});
    ASSERT_EQ(s.code, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.contains(QStringLiteral("numer_kasy=9")));
    EXPECT_TRUE(s.out.contains(QStringLiteral("impuls_szuflady=255")));
    // A byte the register cannot hold is refused, not sent cut to its low byte.
    const Result big = vduno({QStringLiteral("settings"), QStringLiteral("send"),
                              QStringLiteral("impuls_szuflady=300")});
    EXPECT_EQ(big.code, 1);
    EXPECT_TRUE(big.err.contains(QStringLiteral("poza zakresem 0-255"))) << big.err.toStdString();
    // the other fields come from the register; a number that does not convert stops the send
    const Result empty = vduno(
        {QStringLiteral("settings"), QStringLiteral("send"), QStringLiteral("czas_wylaczenia=3x")});
    EXPECT_EQ(empty.code, 1);
    EXPECT_TRUE(empty.err.contains(QStringLiteral("nie jest poprawną liczbą całkowitą.")));
    EXPECT_EQ(
        vduno({QStringLiteral("settings"), QStringLiteral("send"), QStringLiteral("kolor=zielony")})
            .code,
        2);
}
