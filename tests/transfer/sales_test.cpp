#include "transfer/sales.h"

#include "../link/fakeline.h"
#include "fakeui.h"
#include "testframes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// 53 data bytes of a sales record.
QByteArray salesData(int number, const QByteArray& name, char vat, quint32 quantity, quint32 value)
{
    QByteArray d(53, '\0');
    putLe(d, 0, quint32(number), 2);
    d.replace(2, name.size(), name);
    d[44] = vat;
    putLe(d, 45, quantity, 4);
    putLe(d, 49, value, 4);
    return d;
}

struct Bench {
    FakeLineScript script;
    Link link{fakeFactory(script)};
    FakeUi ui;
    transfer::SalesBuffer buffer;
    Bench()
    {
        link.port = 5;
        link.openPort(ui, false);
    }
};

} // namespace

TEST(Sales, DecodeRecord)
{
    const auto r = transfer::decodeSalesRecord(
        salesData(1999, QByteArray("Mleko 3,2% \xA3\xF3\x64\x7A", 15), 'B', 15000, 1999));
    EXPECT_EQ(r.number, 1999);
    EXPECT_EQ(r.name, QStringLiteral("Mleko 3,2% Łódz"));
    EXPECT_EQ(r.vat, QLatin1Char('B'));
    EXPECT_EQ(r.quantity, 15000);
    EXPECT_EQ(r.value, 1999);
}

TEST(Sales, ListLineFormat)
{
    auto spaces = [](int n) { return QString(n, u' '); };
    struct Case {
        int number;
        const char* name;
        qint32 quantity, value;
        QString line;
    };
    // number + ". " right-aligned in 6, the name up to column 48, " A ", the quantity in 12,
    // a space and the value in 10
    const Case cases[] = {
        {12, "Mleko", 15000, 1999,
         QStringLiteral("  12. Mleko") + spaces(37) + QStringLiteral(" A ") + spaces(6) +
             QStringLiteral("1,5000") + QStringLiteral(" ") + spaces(5) + QStringLiteral("19,99")},
        {7, "Chleb", 7, 5,
         QStringLiteral("   7. Chleb") + spaces(37) + QStringLiteral(" A ") + spaces(6) +
             QStringLiteral("0,0007") + QStringLiteral(" ") + spaces(6) + QStringLiteral("0,05")},
        {2000, "Woda", 123456789, 123456789,
         QStringLiteral("2000. Woda") + spaces(38) + QStringLiteral(" A ") + spaces(2) +
             QStringLiteral("12345,6789") + QStringLiteral(" ") + spaces(0) +
             QStringLiteral("1234567,89")},
    };
    for (const Case& c : cases) {
        transfer::SalesRecord r{c.number, QString::fromLatin1(c.name), QLatin1Char('A'), c.quantity,
                                c.value};
        const QString line = transfer::salesListLine(r);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(line.size(), 48 + 3 + 12 + 1 + 10);
    }
}

TEST(Sales, CsvFormat)
{
    transfer::SalesBuffer buffer;
    buffer.store({3, QStringLiteral("Jabłka"), QLatin1Char('D'), 15000, 1999});
    buffer.store({1, QStringLiteral("Chleb"), QLatin1Char('A'), 7, 250});
    // A name with ";" or a quote is quoted as a spreadsheet reads it; the others stand as they are.
    buffer.store({4, QStringLiteral("Mleko; 3,2%"), QLatin1Char('A'), 10000, 329});
    buffer.store({5, QStringLiteral("Ser \"Gouda\""), QLatin1Char('B'), 2500, 1200});
    const QByteArray csv = transfer::salesCsv(buffer);
    // cp1250: "ł" 0xB3, "ś" 0x9C, "ć" 0xE6; only the header ends with ";"
    EXPECT_EQ(csv, QByteArray("Numer;Nazwa;PTU;Ilo\x9C\xE6;Warto\x9C\xE6;\n"
                              "1;Chleb;A;0,0007;2,50\n"
                              "3;Jab\xB3ka;D;1,5000;19,99\n"
                              "4;\"Mleko; 3,2%\";A;1,0000;3,29\n"
                              "5;\"Ser \"\"Gouda\"\"\";B;0,2500;12,00\n"));
    EXPECT_EQ(transfer::salesList(buffer).size(), 4);
}

TEST(Sales, CsvFileReplacedWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.csv"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'x'));
    }
    transfer::SalesBuffer buffer;
    buffer.store({1, QStringLiteral("A"), QLatin1Char('A'), 1, 1});
    ASSERT_TRUE(transfer::writeSalesCsv(path, buffer));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), transfer::salesCsv(buffer));
    EXPECT_FALSE(transfer::writeSalesCsv(dir.filePath(QStringLiteral("no/such/dir.csv")), buffer));
}

TEST(Sales, BufferRefusesNumbersWithoutASlot)
{
    transfer::SalesBuffer buffer;
    EXPECT_FALSE(buffer.store({0, {}, {}, 0, 0}));
    EXPECT_FALSE(buffer.store({2001, {}, {}, 0, 0}));
    EXPECT_TRUE(buffer.store({2000, {}, {}, 0, 0}));
    EXPECT_EQ(buffer.usedCount(), 1);
}

TEST(Sales, RequestLetterXOrY)
{
    for (bool nonZero : {true, false}) {
        Bench t;
        t.script.reads = {QByteArray(),
                          answerFrame(0x8001, nonZero ? 'X' : 'Y', salesData(1, "A", 'A', 1, 1))};
        transfer::downloadSales(t.link, t.ui, t.buffer, nonZero);
        // 02 01 0B 00 01 80 X|Y 00 00 check 03: check = 01^0B^01^80^code = 0x8B ^ code
        const quint8 code = nonZero ? 0x58 : 0x59;
        ASSERT_GE(t.script.written.size(), 11);
        EXPECT_EQ(t.script.written.left(11),
                  bytes({0x02, 0x01, 0x0B, 0x00, 0x01, 0x80, code, 0x00, 0x00, 0x8B ^ code, 0x03}));
    }
}

TEST(Sales, DownloadSeveralHundredRecords)
{
    Bench t;
    t.script.reads << QByteArray();
    const int count = 300;
    for (int n = 1; n <= count; ++n)
        t.script.reads << answerFrame(quint16(n | (n == count ? 0x8000 : 0)), 'X',
                                      salesData(n * 2, "Towar", 'A', quint32(n), quint32(n * 10)));
    const auto r = transfer::downloadSales(t.link, t.ui, t.buffer, true);
    EXPECT_EQ(r.received, count);
    EXPECT_TRUE(r.complete);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(t.buffer.usedCount(), count);
    EXPECT_EQ(t.buffer.records()[599].number, 600);
    EXPECT_EQ(t.buffer.records()[599].value, 3000);
    EXPECT_EQ(t.ui.lastDone, count);
    // request, then acknowledgement 0 for every frame but the last, which gets 3
    QByteArray expected = t.script.written.left(11);
    for (int n = 1; n < count; ++n)
        expected += ackFrame(0);
    expected += ackFrame(3);
    EXPECT_EQ(t.script.written, expected);
    EXPECT_FALSE(t.link.stopRequest);
}

TEST(Sales, StopInTheMiddle)
{
    Bench t;
    t.script.reads << QByteArray();
    for (int n = 1; n <= 300; ++n)
        t.script.reads << answerFrame(quint16(n | (n == 300 ? 0x8000 : 0)), 'X',
                                      salesData(n, "Towar", 'A', 1, 1));
    t.ui.stopAfterEvents = 120; // "Anuluj" pressed while frame 120 is awaited
    const auto r = transfer::downloadSales(t.link, t.ui, t.buffer, true);
    EXPECT_TRUE(r.stopped);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.received, 120);
    EXPECT_EQ(t.buffer.usedCount(), 120);
    // 119 acknowledgements 0, then 4 tells the register to stop
    EXPECT_EQ(t.script.written.size(), 11 + 120 * 10);
    EXPECT_EQ(t.script.written.right(10), ackFrame(4));
    EXPECT_EQ(t.script.written.mid(11 + 118 * 10, 10), ackFrame(0));
    EXPECT_FALSE(t.link.stopRequest);
}

TEST(Sales, ZeroSalesAndCheckFailure)
{
    {
        Bench t;
        t.script.reads = {QByteArray(), answerFrame(0x8001, 0x41, QByteArray(1, char(0x40)))};
        const auto r = transfer::downloadSales(t.link, t.ui, t.buffer, true);
        EXPECT_EQ(r.received, 0);
        EXPECT_EQ(t.ui.messages, QStringList{QStringLiteral("Zerowa wartość sprzedaży.")});
    }
    {
        // A record whose frame fails its check is taken as received (acknowledgement 0) and
        // asked for again in a second pass; nothing is said of it.
        Bench t;
        const QByteArray one = answerFrame(1, 'X', salesData(1, "A", 'A', 1, 1));
        const QByteArray two = answerFrame(2, 'X', salesData(2, "B", 'A', 1, 1));
        const QByteArray three = answerFrame(0x8003, 'X', salesData(3, "C", 'A', 1, 1));
        QByteArray bad = two;
        bad[60] = char(bad[60] ^ 1);
        // Each pass begins with a drain; so does the read after the damaged frame.
        t.script.reads = {QByteArray(), one, bad, QByteArray(), three,
                          QByteArray(), one, two, three};
        const auto r = transfer::downloadSales(t.link, t.ui, t.buffer, true);
        EXPECT_EQ(r.received, 3);
        EXPECT_TRUE(r.complete);
        EXPECT_EQ(r.reread, 1);
        EXPECT_TRUE(t.ui.messages.isEmpty()) << t.ui.messages.join(u'\n').toStdString();
        const QByteArray request = t.script.written.left(11);
        EXPECT_EQ(t.script.written, request + ackFrame(0) + ackFrame(0) + ackFrame(3) + request +
                                        ackFrame(0) + ackFrame(0) + ackFrame(3));
    }
}

TEST(Sales, ClearAsksFirst)
{
    {
        Bench t;
        t.ui.answers = {TransferUi::Answer::No};
        EXPECT_FALSE(transfer::clearRegisterSales(t.link, t.ui));
        EXPECT_EQ(t.ui.questions, QStringList{transfer::clearSalesQuestion()});
        EXPECT_TRUE(t.script.written.isEmpty());
    }
    {
        Bench t;
        t.link.address = 4; // the clear sales command always goes to address 1
        t.ui.answers = {TransferUi::Answer::Yes};
        t.script.reads = {QByteArray(), ackFrame(3)};
        EXPECT_TRUE(transfer::clearRegisterSales(t.link, t.ui));
        // 02 01 0A 00 01 80 CB 01, check 01^0A^01^80^CB^01 = 0x40
        EXPECT_EQ(t.script.written,
                  bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x80, 0xCB, 0x01, 0x40, 0x03}));
        EXPECT_EQ(t.ui.messages, QStringList{QStringLiteral("Sprzedaż skasowana")});
    }
    {
        Bench t;
        t.ui.answers = {TransferUi::Answer::Yes};
        t.script.reads = {QByteArray(), QByteArray()};
        EXPECT_FALSE(transfer::clearRegisterSales(t.link, t.ui));
        EXPECT_TRUE(t.ui.messages.isEmpty());
    }
}

TEST(Turnover, TwentyTwoLinesAMonth)
{
    QByteArray d(83, '\0');
    d[0] = 3;
    putLe(d, 1, 2015, 2);
    for (int k = 1; k <= 20; ++k)
        putLe(d, 3 + (k - 1) * 4, quint32(k * 100 + 5), 4);
    const QStringList lines = transfer::turnoverLines(d);
    ASSERT_EQ(lines.size(), 22);
    EXPECT_EQ(lines[0], QStringLiteral("Obrót w miesiącu 3-2015"));
    EXPECT_EQ(lines[1], QStringLiteral("Grupa towarowa nr. 1: 1,05"));
    EXPECT_EQ(lines[20], QStringLiteral("Grupa towarowa nr. 20: 20,05"));
    EXPECT_EQ(lines[21], QStringLiteral(" "));
    d[0] = 0;
    EXPECT_TRUE(transfer::turnoverLines(d).isEmpty());
}

TEST(Turnover, ReadSkipsEmptyMonths)
{
    Bench t;
    QByteArray m1(83, '\0'), m0(83, '\0'), m2(83, '\0');
    m1[0] = 1, m2[0] = 2;
    putLe(m1, 1, 2026, 2);
    putLe(m2, 1, 2026, 2);
    t.script.reads = {QByteArray(), answerFrame(1, 6, m1), answerFrame(2, 6, m0),
                      answerFrame(0x8003, 6, m2)};
    const auto r = transfer::readGroupTurnover(t.link, t.ui);
    EXPECT_TRUE(r.ok);
    ASSERT_EQ(r.lines.size(), 44);
    EXPECT_EQ(r.lines[0], QStringLiteral("Obrót w miesiącu 1-2026"));
    EXPECT_EQ(r.lines[22], QStringLiteral("Obrót w miesiącu 2-2026"));
    // 02 01 0B 00 01 80 06 00 00, check 01^0B^01^80^06 = 0x8D
    EXPECT_EQ(t.script.written.left(11),
              bytes({0x02, 0x01, 0x0B, 0x00, 0x01, 0x80, 0x06, 0x00, 0x00, 0x8D, 0x03}));
    EXPECT_EQ(t.script.written.mid(11), ackFrame(0) + ackFrame(0) + ackFrame(3));
}

TEST(Turnover, FailuresOfTheRead)
{
    {
        Bench t;
        t.script.reads = {QByteArray(), answerFrame(0x8001, 0x41, QByteArray(1, char(0x10)))};
        const auto r = transfer::readGroupTurnover(t.link, t.ui);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(t.ui.messages, (QStringList{QStringLiteral("Pusta baza."),
                                              QStringLiteral("Wystapił błąd transmisji")}));
    }
    {
        // The only month fails its check in every pass: acknowledged with 0 each time (the
        // register says nothing more, its transfer was over), the turnover asked for four
        // times in all, and the read says that nothing came.
        Bench t;
        QByteArray bad = answerFrame(0x8001, 6, QByteArray(83, '\1'));
        bad[90] = char(bad[90] ^ 0x55);
        // Per pass: the drain, the frame, the drain after it, no answer, the drain before the
        // acknowledgement goes once more, no answer again.
        for (int pass = 0; pass < 4; ++pass)
            t.script.reads +=
                {QByteArray(), bad, QByteArray(), QByteArray(), QByteArray(), QByteArray()};
        const auto r = transfer::readGroupTurnover(t.link, t.ui);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.lines.isEmpty());
        const QByteArray request = t.script.written.left(11);
        EXPECT_EQ(t.script.written.count(request), 4);
        EXPECT_FALSE(t.script.written.contains(ackFrame(1)));
        EXPECT_EQ(t.ui.messages, (QStringList{QStringLiteral("Brak komunikacji."),
                                              QStringLiteral("Nie odczytano żadnego rekordu."),
                                              QStringLiteral("Wystapił błąd transmisji")}));
    }
}
