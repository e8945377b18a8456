#include "database/registerdatabase.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class RegisterDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("BDTemp.bdt"));
        ASSERT_TRUE(db.load(path, QByteArray(200021, '\0')));
    }
    QTemporaryDir dir;
    QString path;
    RegisterDatabase db;
};

} // namespace

TEST_F(RegisterDatabaseTest, LoadWritesTheWorkingCopy)
{
    EXPECT_TRUE(db.isOpen());
    EXPECT_FALSE(db.failed());
    EXPECT_EQ(fileBytes(path), QByteArray(200021, '\0'));
}

TEST_F(RegisterDatabaseTest, ByteWritesReachTheFileAtOnce)
{
    db.writeByteAt(141560, 7);
    db.writeByteHere(8);
    db.writeByteHere(9);
    const QByteArray file = fileBytes(path);
    EXPECT_EQ(file.mid(141560, 3), QByteArray("\x07\x08\x09"));
    EXPECT_EQ(db.readByteAt(141560), 7);
    EXPECT_EQ(db.readNextByte(), 8);
    EXPECT_EQ(db.readNextByte(), 9);
    EXPECT_EQ(db.readNextByte(), 0);
}

TEST_F(RegisterDatabaseTest, PaddedTexts)
{
    struct Case {
        const char* text;
        char pad;
        int width;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"Ala", '\0', 5, QByteArray("Ala\0\0", 5)},
        {"EU", ' ', 3, QByteArray("EU ")},
        {"12345", '0', 5, QByteArray("12345")},
        {"123456", '\0', 4, QByteArray("123456")}, // longer text is written whole
    };
    qint64 at = 1000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        db.writeByteAt(at + c.bytes.size(), 0x5A); // a sentinel right after the field
        db.writePaddedTextAt(at, QString::fromLatin1(c.text), c.pad, c.width);
        EXPECT_EQ(fileBytes(path).mid(at, c.bytes.size() + 1), c.bytes + "\x5A");
        at += 100;
    }
}

TEST_F(RegisterDatabaseTest, PaddedTextHereContinuesTheRun)
{
    db.writeByteAt(144573, 1);
    db.writePaddedTextHere(QStringLiteral("Mąka"), '\0', 6);
    db.writeByteHere(0x33);
    // "ą" is 0xB9 in cp1250.
    EXPECT_EQ(fileBytes(path).mid(144573, 8), QByteArray("\x01M\xB9ka\0\0\x33", 8));
    EXPECT_EQ(db.readTextAt(144574, 6), QStringLiteral("Mąka"));
}

TEST_F(RegisterDatabaseTest, FullWidthTextHasNoTerminator)
{
    db.writeTextAt(2000, QStringLiteral("ABCDEFGH"));
    db.writeByteAt(2008, 'Z');
    EXPECT_EQ(db.readTextAt(2000, 4), QStringLiteral("ABCD"));
    EXPECT_EQ(db.readTextHere(4), QStringLiteral("EFGH"));
    EXPECT_EQ(db.readTextAt(2000, 9), QStringLiteral("ABCDEFGHZ"));
}

TEST_F(RegisterDatabaseTest, ClearZeroesTheRecord)
{
    db.writeTextAt(141000, QStringLiteral("xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx")); // 30 bytes
    db.clearAt(141000, 28);
    const QByteArray file = fileBytes(path);
    EXPECT_EQ(file.mid(141000, 28), QByteArray(28, '\0'));
    EXPECT_EQ(file.mid(141028, 2), QByteArray("xx"));
}

TEST_F(RegisterDatabaseTest, ReadsPastTheEndGiveZeros)
{
    EXPECT_EQ(db.readByteAt(200021), 0);
    EXPECT_EQ(db.readBytes(200019, 4), QByteArray(4, '\0'));
    EXPECT_EQ(db.readTextAt(300000, 5), QString());
    EXPECT_FALSE(db.failed());
}

TEST_F(RegisterDatabaseTest, WritePastTheEndGrowsWithZeros)
{
    db.writeByteAt(200030, 0x11);
    const QByteArray file = fileBytes(path);
    ASSERT_EQ(file.size(), 200031);
    EXPECT_EQ(file.mid(200021, 9), QByteArray(9, '\0'));
    EXPECT_EQ(db.contents(), file);
}

TEST_F(RegisterDatabaseTest, WriteRecord)
{
    QByteArray record(68, '\0');
    record[0] = 1;
    record[67] = 5;
    EXPECT_TRUE(db.writeRecord(5000, record));
    EXPECT_EQ(fileBytes(path).mid(5000, 68), record);
    EXPECT_EQ(db.readBytes(5000, 68), record);
}

TEST(RegisterDatabase, WriteRecordFailsWithoutDatabase)
{
    RegisterDatabase db;
    EXPECT_TRUE(db.failed());
    EXPECT_FALSE(db.writeRecord(5000, QByteArray(68, '\x01')));
    EXPECT_EQ(db.size(), 0);
}

TEST(RegisterDatabase, LoadFailsForAnUnusablePath)
{
    RegisterDatabase db;
    EXPECT_FALSE(db.load(QStringLiteral("/dev/null/BDTemp.bdt"), QByteArray(10, '\0')));
    EXPECT_FALSE(db.isOpen());
    EXPECT_TRUE(db.failed());
}

TEST_F(RegisterDatabaseTest, FailedLoadKeepsTheLoadedDatabase)
{
    db.writeByteAt(141560, 1);
    const QByteArray before = fileBytes(path);
    EXPECT_FALSE(db.load(QStringLiteral("/dev/null/other.bdt"), QByteArray(10, '\x01')));
    EXPECT_TRUE(db.isOpen());
    EXPECT_FALSE(db.failed());
    EXPECT_EQ(db.readByteAt(141560), 1);
    db.writeByteAt(141561, 2);
    EXPECT_EQ(fileBytes(path).mid(141560, 2), QByteArray("\x01\x02"));
    EXPECT_EQ(fileBytes(path).size(), before.size());
}
