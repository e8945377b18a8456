#pragma once

// What the register model's command families share: the device error codes, the status
// bytes, where names lie in the images and small helpers over the image bytes. Only the
// model's own source files include this.

#include "frame.h"
#include "registermodel.h"

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>
#include <cstdint>

namespace emu {

// Where a record's name lies inside the register image, and how wide it is.
struct NameField {
    int offset;
    int width;
};

inline constexpr NameField kNames[RegisterModel::TableCount] = {
    {2, 42}, // articles
    {1, 21}, // cashiers
    {1, 21}, // discounts
    {1, 21}, // payment forms
    {1, 21}, // currencies
    {1, 21}, // groups
    {1, 42}, // packaging
};

// The command codes that read each table (11-byte requests).
inline constexpr uint8_t kReadCodes[RegisterModel::TableCount] = {'T', 'K', 'R', 'F',
                                                                  'W', 'G', 'Z'};

// Device error codes the register reports in an error frame.
enum DeviceError : uint8_t {
    ErrUnknownCommand = 0,
    ErrCheckByte = 1,
    ErrFrameNumber = 4,
    ErrArticleName = 5,
    ErrArticleNumber = 6,
    ErrVat = 7,
    ErrBarcode = 8,
    ErrGroup = 9,
    ErrPackagingRef = 10,
    ErrFixedPrice = 11,
    ErrWholeQuantity = 12,
    ErrDiscountNumber = 14,
    ErrDiscountKind = 15,
    ErrDiscountType = 16,
    ErrCashierNumber = 18,
    ErrCashierName = 19,
    ErrPaymentNumber = 28,
    ErrPaymentName = 29,
    ErrPaymentKind = 30,
    ErrCurrencyNumber = 31,
    ErrCurrencyName = 32,
    ErrDiscountValue = 17,
    ErrCurrencySymbol = 34,
    ErrVatValue = 35,
    ErrHeaderLines = 38,
    ErrHeaderTall = 39,
    ErrHeaderLength = 88,
    ErrPackagingNumber = 36,
    ErrPackagingName = 37,
    ErrGroupName = 40,
    ErrYear = 59,
    ErrMonth = 60,
    ErrDay = 61,
    ErrHour = 62,
    ErrMinute = 63,
    ErrSecond = 64,
    ErrKey = 65,
    ErrNoArticle = 66,
    ErrReportNumbers = 71,
    ErrQueryCode = 75,
    ErrRecordNumber = 76,
    ErrBaseGroup = 82,
    ErrBackDate = 83,
    ErrHaloIndex = 85,
    ErrManager = 89,
    ErrNameMismatch = 90,
    ErrArticleSales = 91,
    ErrPortSettings = 92,
    ErrCashierTakings = 103,
    ErrPaymentTurnover = 104,
    ErrCurrencyTurnover = 105,
    ErrPackagingTurnover = 106,
    ErrGroupTurnover = 107,
};

inline constexpr uint8_t kStatusPaperOut = 0x02;
inline constexpr uint8_t kStatusInProgress = 0x04;
inline constexpr uint8_t kStatusBusy = 0x08;
inline constexpr uint8_t kStatusEmpty = 0x10;
inline constexpr uint8_t kStatusZeroSales = 0x40;
inline constexpr uint8_t kStatusReady = 0x00;

// A name field up to its first zero byte.
inline QByteArray trimmedName(QByteArrayView field)
{
    const qsizetype zero = field.indexOf('\0');
    return (zero < 0 ? field : field.first(zero)).toByteArray();
}

inline bool isZero(QByteArrayView b)
{
    return std::all_of(b.begin(), b.end(), [](char c) { return c == 0; });
}

inline int daysIn(int month, int year)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return days[month - 1];
}

// The six bytes of a "never" time: year 0, month 0, day 0, hour 24, minute 0.
inline void putNever(QByteArray& image, int at)
{
    putU16(image, at, 0);
    image[at + 2] = 0;
    image[at + 3] = 0;
    image[at + 4] = 24;
    image[at + 5] = 0;
}

} // namespace emu
