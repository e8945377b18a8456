// The register's answers to the data, settings and service commands, byte for byte.
#include "emulator/registermodel.h"
#include "testframes.h"

#include <gtest/gtest.h>

using namespace emu;

namespace {

const QByteArray kAck0 = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x06, 0x00, 0x0C, 0x03});
const QByteArray kAck3 = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x06, 0x03, 0x0F, 0x03});
const QByteArray kAck1 = bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x06, 0x01, 0x0D, 0x03});

QByteArray all(const QList<Reply>& replies)
{
    QByteArray out;
    for (const Reply& r : replies)
        out += r.bytes;
    return out;
}

QByteArray errorOf(int code)
{
    return handFrame(1, 1, 0x41, bytes({0, code}));
}

QByteArray statusOf(int status)
{
    return handFrame(1, 1, 0x41, bytes({status}));
}

QByteArray request(int code, int parameter = 0)
{
    return handFrame(1, 0x8001, code, bytes({parameter & 0xFF, parameter >> 8}));
}

QByteArray le(quint32 v, int width)
{
    QByteArray b;
    for (int i = 0; i < width; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
    return b;
}

// An article image of a DUNO BIS register with its sales (quantity, value at 49..56).
QByteArray articleImage(int n, const QByteArray& name, char vat, quint32 qty, quint32 value)
{
    QByteArray img(82, '\0');
    img.replace(0, 2, le(quint32(n), 2));
    img.replace(2, name.size(), name);
    img[44] = vat;
    img.replace(49, 4, le(qty, 4));
    img.replace(53, 4, le(value, 4));
    return img;
}

QByteArray salesData(int n, const QByteArray& name, char vat, quint32 qty, quint32 value)
{
    QByteArray d(53, '\0');
    d.replace(0, 2, le(quint32(n), 2));
    d.replace(2, name.size(), name);
    d[44] = vat;
    d.replace(45, 4, le(qty, 4));
    d.replace(49, 4, le(value, 4));
    return d;
}

} // namespace

TEST(RegisterData, InformationAnswerOfBothModels)
{
    for (Model m : {Model::DunoBis, Model::Duno}) {
        RegisterModel reg(m, 3);
        const bool bis = m == Model::DunoBis;
        QByteArray info(115, '\0');
        info[0] = char(bis ? 200 : 100);
        info.replace(24, 10, QByteArray("5260250274"));
        info[43] = 1;
        info[110] = 2;
        info[112] = 1;
        info.replace(113, 2, le(2048, 2));
        reg.setInformation(info);
        const QByteArray answer = all(reg.handle(handFrame(3, 0x8001, 'I', bytes({0, 0}))));
        ASSERT_EQ(answer.size(), bis ? 124 : 115);
        // expected data: the record with the register number 3 at 69 and, for a DUNO, the
        // NIP cut to 10 bytes and everything behind it 7 bytes earlier, no card size
        QByteArray d = info;
        d[69] = 3;
        d.replace(70, 9, QByteArray("Kierownik"));
        if (!bis)
            d = d.left(34) + d.mid(41, 72);
        EXPECT_EQ(answer, handFrame(3, 0x8001, 'I', d));
        EXPECT_EQ(uint8_t(answer[7]), bis ? 200 : 100);
        EXPECT_EQ(answer[7 + (bis ? 43 : 36)], 1);
        EXPECT_EQ(answer[7 + (bis ? 110 : 103)], 2);
    }
}

TEST(RegisterData, PortsCurrencyAndServiceModeReachTheInformation)
{
    RegisterModel reg;
    // "8": USB 1, port A scale, 6, port B scanner, 6
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, '8', bytes({1, 1, 6, 2, 6})))), kAck3);
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, '8', bytes({2, 1, 6, 2, 6})))), errorOf(92));
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, '8', bytes({1, 4, 6, 2, 6})))), errorOf(92));
    // "c" puts the register into service mode
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 'c', bytes({1})))), kAck3);
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 'c', bytes({2})))), errorOf(75));
    // "E": rate 4.3012 (43012, 4 decimals), "EUR", nominal 1, converter 1, 1-1-2027
    QByteArray e =
        le(43012, 4) + bytes({4}) + QByteArray("EUR") + bytes({1, 1}) + le(2027, 2) + bytes({1, 1});
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 'E', e))), kAck3);
    const QByteArray info = reg.informationData();
    EXPECT_EQ(info[66], 1);
    EXPECT_EQ(info.mid(100, 10), bytes({1, 'E', 'U', 'R', 20, 27, 1, 1, 0, 0}));
    EXPECT_EQ(info.mid(110, 3), bytes({1, 2, 1}));
}

TEST(RegisterData, CurrencyChangeRefusals)
{
    struct Case {
        QByteArray symbol;
        int year, month, day, error;
    };
    const Case cases[] = {
        {"EU ", 2027, 1, 1, 34}, {"EUR", 2027, 13, 1, 60}, {"EUR", 2027, 2, 29, 61},
        {"EUR", 2027, 4, 0, 61}, {"EUR", 1999, 1, 1, 59},  {"EUR", 2014, 12, 31, 83},
    };
    for (const Case& c : cases) {
        RegisterModel reg;
        QByteArray e = le(43012, 4) + bytes({4}) + c.symbol + bytes({1, 0}) +
                       le(quint32(c.year), 2) + bytes({c.month, c.day});
        EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 'E', e))), errorOf(c.error))
            << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(reg.informationData()[100], 0);
    }
}

TEST(RegisterData, ManagerPasswordNeedsTheOldOne)
{
    RegisterModel reg;
    // no password yet: any old one is taken; the new one "1234" padded the form's way
    const QByteArray none("7        7");
    EXPECT_EQ(
        all(reg.handle(handFrame(1, 0x8001, 'H', none + QByteArray("123      4") + bytes({0})))),
        kAck3);
    EXPECT_EQ(reg.managerPassword(), QByteArray("123      4"));
    // a wrong old password is refused and changes nothing
    EXPECT_EQ(
        all(reg.handle(handFrame(
            1, 0x8001, 'H', QByteArray("999      9") + QByteArray("5555      ") + bytes({0})))),
        kAck1);
    EXPECT_EQ(reg.managerPassword(), QByteArray("123      4"));
    // padded at the end it is the same password
    EXPECT_EQ(
        all(reg.handle(handFrame(
            1, 0x8001, 'H', QByteArray("1234      ") + QByteArray("5555      ") + bytes({1})))),
        kAck3);
}

TEST(RegisterData, SalesRecordsNonZeroOrAll)
{
    RegisterModel reg;
    reg.setImage(RegisterModel::Articles, 1, articleImage(1, "Chleb", 'A', 15000, 1999));
    reg.setImage(RegisterModel::Articles, 2, articleImage(2, "Woda", 'B', 0, 0));
    reg.setImage(RegisterModel::Articles, 5, articleImage(5, "Sok", 'A', 7, 5));
    // "X": the non-zero records 1 and 5, paced by the acknowledgements
    EXPECT_EQ(all(reg.handle(request('X'))),
              handFrame(1, 1, 'X', salesData(1, "Chleb", 'A', 15000, 1999)));
    EXPECT_EQ(all(reg.handle(kAck0)), handFrame(1, 0x8002, 'X', salesData(5, "Sok", 'A', 7, 5)));
    EXPECT_TRUE(all(reg.handle(kAck3)).isEmpty());
    // "Y": all three
    EXPECT_EQ(all(reg.handle(request('Y'))),
              handFrame(1, 1, 'Y', salesData(1, "Chleb", 'A', 15000, 1999)));
    EXPECT_EQ(all(reg.handle(kAck0)), handFrame(1, 2, 'Y', salesData(2, "Woda", 'B', 0, 0)));
    // acknowledgement 4 stops the run
    EXPECT_TRUE(all(reg.handle(handAck(1, 4))).isEmpty());
    EXPECT_TRUE(all(reg.handle(kAck0)).isEmpty());
}

TEST(RegisterData, ClearSalesThenZeroSales)
{
    RegisterModel reg(Model::DunoBis, 4);
    reg.setImage(RegisterModel::Articles, 1, articleImage(1, "Chleb", 'A', 15000, 1999));
    // the clear command always travels to address 1
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 0xCB, bytes({1})))),
              handFrame(4, 1, 0x06, bytes({3})));
    EXPECT_EQ(all(reg.handle(handFrame(4, 0x8001, 'X', bytes({0, 0})))),
              handFrame(4, 1, 0x41, bytes({0x40})));
    EXPECT_EQ(all(reg.handle(handFrame(4, 0x8001, 'Y', bytes({0, 0})))),
              handFrame(4, 0x8001, 'Y', salesData(1, "Chleb", 'A', 0, 0)));
    RegisterModel empty;
    EXPECT_EQ(all(empty.handle(request('X'))), statusOf(0x10));
}

TEST(RegisterData, GroupTurnoverFrames)
{
    RegisterModel reg;
    QByteArray m1(83, '\0'), m0(83, '\0');
    m1[0] = 3;
    m1.replace(1, 2, le(2015, 2));
    m1.replace(3, 4, le(12345, 4));
    reg.groupTurnover() = {m1, m0};
    EXPECT_EQ(all(reg.handle(request(6))), handFrame(1, 1, 6, m1));
    EXPECT_EQ(all(reg.handle(kAck0)), handFrame(1, 0x8002, 6, m0));
    EXPECT_EQ(all(reg.handle(request(6))).size(), 92);
}

TEST(RegisterData, SettingsSentAndReportedBack)
{
    RegisterModel reg(Model::DunoBis, 2);
    QByteArray block =
        bytes({2, 1, 0, 30, 44, 0, 1, 0x15, 0xCD, 0x5B, 0x07, 2, 0, 1, 1, 0, 1, 4, 80, 50, 1, 1});
    // the settings frame goes to address 1 whatever the register's own address
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 3, block))), handFrame(2, 1, 0x06, bytes({3})));
    EXPECT_EQ(reg.settings(), block);
    // the read request (parameter 1) is answered with 30 bytes: the first 21 settings bytes
    EXPECT_EQ(all(reg.handle(handFrame(2, 0x8001, 3, bytes({1, 0})))),
              handFrame(2, 0x8001, 3, block.left(21)));
}

TEST(RegisterData, CopyTextStreamPacedByAA)
{
    RegisterModel reg;
    QByteArray text;
    for (int i = 0; i < 100; ++i)
        text += char('A' + i % 26);
    text += '\n';
    reg.setCopyText(text);
    // kind 1, handling 2
    QByteArray q(15, '\0');
    q[0] = 1;
    q[14] = 2;
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 1, q))), text.left(64));
    EXPECT_EQ(all(reg.feed(bytes({0xAA}))), text.mid(64) + bytes({0}));
    EXPECT_TRUE(all(reg.feed(bytes({0xAA}))).isEmpty());
    // printed at the register: acknowledged, nothing streamed
    q[14] = 1;
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 1, q))), kAck3);
    EXPECT_EQ(reg.reportsPrinted(), 1);
    // by numbers: report numbers 0 or above 2000 are refused
    QByteArray n(15, '\0');
    n[0] = 2;
    n.replace(1, 2, le(0, 2));
    n.replace(7, 2, le(5, 2));
    n[13] = 1;
    n[14] = 2;
    EXPECT_EQ(all(reg.handle(handFrame(1, 0x8001, 1, n))), errorOf(71));
}

TEST(RegisterData, CacheDumpFrames)
{
    RegisterModel reg;
    QByteArray cache;
    for (int i = 0; i < 3 * 256 + 10; ++i)
        cache += char(i * 13);
    reg.setCacheMemory(cache);
    EXPECT_EQ(all(reg.handle(handFrame(1, 1, ':', bytes({1})))),
              handFrame(1, 1, ':', cache.left(256)));
    EXPECT_EQ(all(reg.handle(kAck0)), handFrame(1, 2, ':', cache.mid(256, 256)));
    EXPECT_EQ(all(reg.handle(kAck0)), handFrame(1, 3, ':', cache.mid(512, 256)));
    // the last frame is padded with zeros and carries the end marker
    EXPECT_EQ(all(reg.handle(kAck0)),
              handFrame(1, 0x8004, ':', cache.mid(768) + QByteArray(246, '\0')));
    // never more than 8192 frames
    reg.setCacheMemory(QByteArray(256 * 8200, 'x'));
    EXPECT_EQ(reg.cacheMemory().size(), 256 * 8192);
}
