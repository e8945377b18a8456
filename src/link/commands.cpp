#include "commands.h"

#include "frame.h"

#include "common/cp1250.h"
#include "database/tables.h"

namespace commands {

namespace {

// Copies `count` record bytes from `from` into the frame at `at` (missing bytes stay 0).
void copyBytes(QByteArray& f, int at, QByteArrayView record, int from, int count)
{
    for (int i = 0; i < count && from + i < record.size(); ++i)
        f[at + i] = record[from + i];
}

bool emptyRecord(QByteArrayView record)
{
    return record.isEmpty() || record[0] == 0;
}

// Record frame: bytes 7.. = record bytes 0..count-1, then the confirm byte when there is one.
QByteArray recordFrame(quint8 address, quint16 sequence, char code, int length,
                       QByteArrayView record, int count, int confirmAt = -1, quint8 confirm = 0)
{
    QByteArray f = frame::head(address, length, sequence, quint8(code));
    copyBytes(f, 7, record, 0, count);
    if (confirmAt >= 0)
        f[confirmAt] = char(confirm);
    frame::seal(f);
    return f;
}

// The same for a database record that may be empty: nothing for an empty one.
Frame usedRecordFrame(quint8 address, quint16 sequence, char code, int length,
                      QByteArrayView record, int count, int confirmAt, quint8 confirm)
{
    if (emptyRecord(record))
        return std::nullopt;
    return recordFrame(address, sequence, code, length, record, count, confirmAt, confirm);
}

QByteArray deletion(quint8 address, quint16 sequence, char code, int length, int nameAt,
                    int nameWidth, const QString& name, int confirmAt = -1, quint8 confirm = 0)
{
    QByteArray f = frame::head(address, length, sequence, quint8(code));
    cp1250::putField(f, nameAt, name, nameWidth);
    if (confirmAt >= 0)
        f[confirmAt] = char(confirm);
    return f;
}

QByteArray deletionSealed(QByteArray f, quint8 number)
{
    f[7] = char(number);
    frame::seal(f);
    return f;
}

} // namespace

int send(Link& link, TransferUi& ui, const QByteArray& frame)
{
    return link.sendBytes(ui, frame);
}

bool sendRecord(Link& link, TransferUi& ui, const Frame& frame)
{
    return frame && link.sendBytes(ui, *frame) == 0;
}

Frame articleRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm,
                    int registerType)
{
    if (record.size() < 2 || (record[0] == 0 && record[1] == 0))
        return std::nullopt;
    if (registerType == 1)
        return recordFrame(address, sequence, 'T', 77, record, layout::V1ArticleSize, 74, confirm);
    return recordFrame(address, sequence, 'T', 78, record, layout::Articles.recordSize, 75,
                       confirm);
}

Frame discountRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm)
{
    return usedRecordFrame(address, sequence, 'R', 38, record, layout::Discounts.recordSize, 35,
                           confirm);
}

Frame cashierRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm)
{
    return usedRecordFrame(address, sequence, 'K', 43, record, layout::Cashiers.recordSize, 40,
                           confirm);
}

Frame paymentFormRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm)
{
    return usedRecordFrame(address, sequence, 'F', 33, record, layout::PaymentForms.recordSize, 30,
                           confirm);
}

Frame currencyRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm)
{
    return usedRecordFrame(address, sequence, 'W', 40, record, layout::Currencies.recordSize, 37,
                           confirm);
}

Frame vatRates(quint8 address, quint16 sequence, QByteArrayView rates, quint8 confirm)
{
    return usedRecordFrame(address, sequence, 'P', 31, rates, layout::VatRates.bytes(), 28,
                           confirm);
}

Frame packagingRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm)
{
    return usedRecordFrame(address, sequence, 'Z', 58, record, layout::Packaging.recordSize, 55,
                           confirm);
}

QByteArray receiptHeader(quint8 address, quint16 sequence, QByteArrayView block)
{
    return recordFrame(address, sequence, 'N', 268, block, layout::Header.recordSize);
}

Frame productGroupRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm)
{
    return usedRecordFrame(address, sequence, 'G', 31, record, layout::Groups.recordSize - 1, 28,
                           confirm);
}

QByteArray quickKey(quint8 address, quint16 sequence, quint8 cashier, quint8 key,
                    QByteArrayView record, quint8 confirm)
{
    QByteArray f = frame::head(address, 44, sequence, 'S');
    f[7] = char(cashier);
    f[8] = char(key);
    copyBytes(f, 9, record, 2, 32);
    f[41] = char(confirm);
    frame::seal(f);
    return f;
}

QByteArray receiptFooter(quint8 address, quint16 sequence, QByteArrayView block, quint8 confirm)
{
    return recordFrame(address, sequence, 'D', 140, block, layout::Footer.recordSize, 137, confirm);
}

QByteArray haloTable(quint8 address, quint16 sequence, QByteArrayView table)
{
    return recordFrame(address, sequence, 'L', 45, table, 36);
}

QByteArray setClock(quint8 address, quint16 sequence, quint16 year, quint8 month, quint8 day,
                    quint8 hour, quint8 minute, quint8 second)
{
    QByteArray f = frame::head(address, 17, sequence, 'C');
    frame::putU16(f, 7, year);
    f[9] = char(month);
    f[10] = char(day);
    f[11] = char(hour);
    f[12] = char(minute);
    f[13] = char(second);
    frame::seal(f);
    return f;
}

QByteArray changeAccountingCurrency(quint8 address, quint16 sequence, quint32 rateMantissa,
                                    quint8 rateDecimals, const QString& symbol,
                                    quint8 printConverter, quint16 year, quint8 month, quint8 day)
{
    QByteArray f = frame::head(address, 23, sequence, 'E');
    frame::putU32(f, 7, rateMantissa);
    f[11] = char(rateDecimals);
    cp1250::putField(f, 12, symbol, 3, ' ');
    f[15] = 1; // nominal
    f[16] = char(printConverter);
    frame::putU16(f, 17, year);
    f[19] = char(month);
    f[20] = char(day);
    frame::seal(f);
    return f;
}

QByteArray setManagerPassword(quint8 address, quint16 sequence, const QString& oldPassword,
                              const QString& newPassword, quint8 confirm)
{
    QByteArray f = frame::head(address, 30, sequence, 'H');
    cp1250::putField(f, 7, oldPassword, 10, ' ');
    cp1250::putField(f, 17, newPassword, 10, ' ');
    f[27] = char(confirm);
    frame::seal(f);
    return f;
}

QByteArray setUnitNames(quint8 address, quint16 sequence, const QString& unit1,
                        const QString& unit2, const QString& unit3)
{
    QByteArray f = frame::head(address, 18, sequence, 'q');
    cp1250::putField(f, 7, unit1, 3, ' ');
    cp1250::putField(f, 10, unit2, 3, ' ');
    cp1250::putField(f, 13, unit3, 3, ' ');
    frame::seal(f);
    return f;
}

Frame setQuickSalesFunctionKey(quint8 address, quint16 sequence, quint8 cashier,
                               int functionPosition, quint8 kind, quint8 recordNumber)
{
    if (functionPosition < 0 || functionPosition > 7)
        return std::nullopt;
    QByteArray f = frame::head(address, 14, sequence, 'X');
    f[7] = char(cashier);
    f[8] = 1; // key F1
    f[9] = char(functionPosition < 2 ? functionPosition : functionPosition + 1);
    f[10] = char(kind);
    f[11] = char(recordNumber);
    frame::seal(f);
    return f;
}

QByteArray setFunctionKey(quint16 sequence, quint8 cashier, quint8 key, quint8 functionCode)
{
    QByteArray f = frame::head(1, 13, sequence, 'O');
    f[7] = char(cashier);
    f[8] = char(key);
    f[9] = char(functionCode);
    frame::seal(f);
    return f;
}

Frame setTaxpayerNumber(quint8 address, quint16 sequence, const QString& nip)
{
    if (nip.size() > 16)
        return std::nullopt;
    QByteArray f = frame::head(address, 25, sequence, 'I');
    cp1250::putField(f, 7, nip, 16);
    frame::seal(f);
    return f;
}

int sendTaxpayerNumber(Link& link, TransferUi& ui, quint16 sequence, const QString& nip)
{
    const Frame f = setTaxpayerNumber(link.address, sequence, nip);
    if (!f) {
        ui.showMessage(QStringLiteral("Zbyt długi NIP!"), TransferUi::Icon::Warning);
        return 1;
    }
    return link.sendBytes(ui, *f);
}

QByteArray setAdditionalSettings(quint16 sequence, QByteArrayView settings)
{
    return recordFrame(1, sequence, 3, 31, settings, 22);
}

int reportOrderLength(quint8 code)
{
    switch (code) {
    case 'o':
        return 19;
    case 's':
        return 16;
    case 'p':
    case 'b':
        return 15;
    case 'k':
    case 'z':
    case 'r':
    case 'a':
    case 'f':
    case 'g':
        return 12;
    case 'n':
    case 'w':
    case 'v':
    case 't':
    case 'h':
        return 10;
    case 5:
        return 17;
    default:
        return 0;
    }
}

QByteArray reportOrder(quint8 address, quint16 sequence, quint8 code, QByteArrayView data)
{
    const int length = reportOrderLength(code);
    if (length == 0)
        return {};
    return recordFrame(address, sequence, char(code), length, data, length - 9);
}

QByteArray simpleReportOrder(quint8 address, quint16 sequence, quint8 code)
{
    if (reportOrderLength(code) != 10)
        return {};
    return reportOrder(address, sequence, code, QByteArrayView("\x01", 1));
}

QByteArray groupTurnoverReport(quint8 address, quint16 sequence, quint8 startMonth,
                               quint16 startYear, quint8 endMonth, quint16 endYear,
                               bool zeroRecords)
{
    QByteArray f = frame::head(address, 17, sequence, 5);
    f[7] = char(startMonth);
    frame::putU16(f, 8, startYear);
    f[10] = char(endMonth);
    frame::putU16(f, 11, endYear);
    f[13] = 1;
    f[14] = zeroRecords ? 't' : 'n';
    frame::seal(f);
    return f;
}

QByteArray requestTable(quint8 address, quint16 sequence, quint8 code, quint16 parameter)
{
    QByteArray f = frame::head(address, 11, sequence, code);
    frame::putU16(f, 7, parameter);
    frame::seal(f);
    return f;
}

QByteArray deleteArticle(quint8 address, quint16 sequence, quint16 number, const QString& name,
                         quint8 confirm)
{
    QByteArray f = deletion(address, sequence, '0', 54, 9, 42, name, 51, confirm);
    frame::putU16(f, 7, number);
    frame::seal(f);
    return f;
}

QByteArray deleteDiscount(quint8 address, quint16 sequence, quint8 number, const QString& name,
                          quint8 confirm)
{
    return deletionSealed(deletion(address, sequence, '1', 32, 8, 21, name, 29, confirm), number);
}

QByteArray deleteCashier(quint8 address, quint16 sequence, quint8 number, const QString& name)
{
    return deletionSealed(deletion(address, sequence, '2', 26, 8, 16, name), number);
}

QByteArray deletePaymentForm(quint8 address, quint16 sequence, quint8 number, const QString& name,
                             quint8 confirm)
{
    return deletionSealed(deletion(address, sequence, '3', 33, 8, 22, name, 30, confirm), number);
}

QByteArray deleteCurrency(quint8 address, quint16 sequence, quint8 number, const QString& name)
{
    return deletionSealed(deletion(address, sequence, '4', 33, 8, 23, name), number);
}

QByteArray deletePackaging(quint8 address, quint16 sequence, quint8 number, const QString& name)
{
    return deletionSealed(deletion(address, sequence, '5', 53, 8, 43, name), number);
}

QByteArray deleteProductGroup(quint8 address, quint16 sequence, quint8 number, const QString& name)
{
    return deletionSealed(deletion(address, sequence, '6', 31, 8, 21, name), number);
}

QByteArray probe(quint8 address, quint16 sequence)
{
    return recordFrame(address, sequence, 'Q', 10, {}, 0);
}

QByteArray cacheMemoryDump(quint8 address, quint16 sequence)
{
    return recordFrame(address, sequence, ':', 10, QByteArrayView("\x01", 1), 1);
}

QByteArray copyRead(quint8 address, quint16 sequence, quint8 kind, QByteArrayView query)
{
    QByteArray f = frame::head(address, 24, sequence, 1);
    f[7] = char(kind);
    copyBytes(f, 8, query, 0, 14);
    frame::seal(f);
    return f;
}

QByteArray clearSales(quint16 sequence)
{
    return recordFrame(1, sequence, char(0xCB), 10, QByteArrayView("\x01", 1), 1);
}

QByteArray portQuery(quint16 sequence)
{
    return recordFrame(1, sequence, '9', 9, {}, 0);
}

QByteArray setRegisterPorts(quint16 sequence, quint8 usbUse, quint8 portAUse, quint8 portAExtra,
                            quint8 portBUse, quint8 portBExtra)
{
    const char data[5] = {char(usbUse), char(portAUse), char(portAExtra), char(portBUse),
                          char(portBExtra)};
    return recordFrame(1, sequence, '8', 14, QByteArrayView(data, 5), 5);
}

QByteArray servicePreparation(quint16 sequence)
{
    return recordFrame(1, sequence, 'c', 10, QByteArrayView("\x01", 1), 1);
}

} // namespace commands
