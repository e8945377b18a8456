#include "link/frame.h"

#include <gtest/gtest.h>

#include "fakeline.h"

TEST(Frame, AcknowledgementCheckByteIsOx0C)
{
    EXPECT_EQ(frame::acknowledgement(1, 0),
              bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x06, 0x00, 0x0C, 0x03}));
}

TEST(Frame, ProbeCheckByteIsOxDB)
{
    QByteArray f = frame::head(1, 10, 0x8001, 'Q');
    frame::seal(f);
    EXPECT_EQ(f, bytes({0x02, 0x01, 0x0A, 0x00, 0x01, 0x80, 0x51, 0x00, 0xDB, 0x03}));
}

TEST(Frame, HeadClearsDataAndEndsWithEndByte)
{
    const QByteArray f = frame::head(3, 300, 0x0102, 'N');
    ASSERT_EQ(f.size(), 300);
    EXPECT_EQ(f.left(7), bytes({0x02, 0x03, 0x2C, 0x01, 0x02, 0x01, 'N'}));
    EXPECT_EQ(f.mid(7, 292), QByteArray(292, '\0'));
    EXPECT_EQ(f.at(299), 0x03);
}

TEST(Frame, CheckByteWithCorruptLengthStaysInsideTheFrame)
{
    QByteArray f = bytes({0x02, 0x01, 0xFF, 0xFF, 0x01, 0x00, 0x06, 0x00, 0x00, 0x03});
    // XOR of bytes 1..7 of the ten bytes: 01^FF^FF^01^00^06^00 = 06
    EXPECT_EQ(frame::checkByte(f), 0x06);
}
