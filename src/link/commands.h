#pragma once

#include "link.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// One builder per register command. Builders take the register address and the sequence
// value from the caller, and the record bytes (read by the caller from the database) or the
// values; they return the whole frame. Record builders return nothing for an empty record.
// send() sends a built frame over the link.
namespace commands {

using Frame = std::optional<QByteArray>;

// Sends a frame; 0 success (the result of send bytes).
int send(Link& link, TransferUi& ui, const QByteArray& frame);
// Sends a record frame when there is one; true when it went out whole, false when there was
// none or the line failed (the link has said why), which the caller takes as a line failure
// rather than waiting for an answer to a frame that never left.
bool sendRecord(Link& link, TransferUi& ui, const Frame& frame);

// Programming from database records
// registerType 2 (DUNO BIS): 78 bytes with record bytes 0..67; 1 (DUNO): 77 bytes, 0..66.
Frame articleRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm,
                    int registerType = 2);
Frame discountRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm);
Frame cashierRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm);
Frame paymentFormRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm);
Frame currencyRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm);
Frame vatRates(quint8 address, quint16 sequence, QByteArrayView rates, quint8 confirm);
Frame packagingRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm);
QByteArray receiptHeader(quint8 address, quint16 sequence, QByteArrayView block);
// Only the first 21 of the 22 record bytes travel.
Frame productGroupRecord(quint8 address, quint16 sequence, QByteArrayView record, quint8 confirm);
// Record bytes 2..33 of the quick key of cashier c, key k.
QByteArray quickKey(quint8 address, quint16 sequence, quint8 cashier, quint8 key,
                    QByteArrayView record, quint8 confirm);
QByteArray receiptFooter(quint8 address, quint16 sequence, QByteArrayView block, quint8 confirm);
QByteArray haloTable(quint8 address, quint16 sequence, QByteArrayView table);

// Programming from values
QByteArray setClock(quint8 address, quint16 sequence, quint16 year, quint8 month, quint8 day,
                    quint8 hour, quint8 minute, quint8 second);
QByteArray changeAccountingCurrency(quint8 address, quint16 sequence, quint32 rateMantissa,
                                    quint8 rateDecimals, const QString& symbol,
                                    quint8 printConverter, quint16 year, quint8 month, quint8 day);
QByteArray setManagerPassword(quint8 address, quint16 sequence, const QString& oldPassword,
                              const QString& newPassword, quint8 confirm);
QByteArray setUnitNames(quint8 address, quint16 sequence, const QString& unit1,
                        const QString& unit2, const QString& unit3);
// position 0..7 of the form's list; sent as 0, 1, 3, 4, 5, 6, 7, 8. Nothing for other positions.
Frame setQuickSalesFunctionKey(quint8 address, quint16 sequence, quint8 cashier,
                               int functionPosition, quint8 kind, quint8 recordNumber);
// Always to address 1.
QByteArray setFunctionKey(quint16 sequence, quint8 cashier, quint8 key, quint8 functionCode);
// Nothing for a text of more than 16 characters.
Frame setTaxpayerNumber(quint8 address, quint16 sequence, const QString& nip);
// Shows "Zbyt długi NIP!" and sends nothing for a NIP of more than 16 characters.
int sendTaxpayerNumber(Link& link, TransferUi& ui, quint16 sequence, const QString& nip);
// The 22 settings bytes; always to address 1.
QByteArray setAdditionalSettings(quint16 sequence, QByteArrayView settings);

// Report orders. The length of the order with this code, 0 for an unknown code.
int reportOrderLength(quint8 code);
// Data bytes from 7 on as the report's form builds them (cut to the frame).
QByteArray reportOrder(quint8 address, quint16 sequence, quint8 code, QByteArrayView data);
// "n", "w", "v", "t", "h": byte 7 = 1.
QByteArray simpleReportOrder(quint8 address, quint16 sequence, quint8 code);
QByteArray groupTurnoverReport(quint8 address, quint16 sequence, quint8 startMonth,
                               quint16 startYear, quint8 endMonth, quint16 endYear,
                               bool zeroRecords);

// The generic 11-byte read request.
QByteArray requestTable(quint8 address, quint16 sequence, quint8 code, quint16 parameter = 0);

// Deletions, with the name as the register reported it (cut to the name bytes).
QByteArray deleteArticle(quint8 address, quint16 sequence, quint16 number, const QString& name,
                         quint8 confirm);
QByteArray deleteDiscount(quint8 address, quint16 sequence, quint8 number, const QString& name,
                          quint8 confirm);
QByteArray deleteCashier(quint8 address, quint16 sequence, quint8 number, const QString& name);
QByteArray deletePaymentForm(quint8 address, quint16 sequence, quint8 number, const QString& name,
                             quint8 confirm);
QByteArray deleteCurrency(quint8 address, quint16 sequence, quint8 number, const QString& name);
QByteArray deletePackaging(quint8 address, quint16 sequence, quint8 number, const QString& name);
QByteArray deleteProductGroup(quint8 address, quint16 sequence, quint8 number, const QString& name);

// Other commands
QByteArray probe(quint8 address, quint16 sequence);
QByteArray cacheMemoryDump(quint8 address, quint16 sequence);
// Kind 1..4 and the 14 kind-specific bytes 8..21.
QByteArray copyRead(quint8 address, quint16 sequence, quint8 kind, QByteArrayView query);
QByteArray clearSales(quint16 sequence);
QByteArray portQuery(quint16 sequence);
QByteArray setRegisterPorts(quint16 sequence, quint8 usbUse, quint8 portAUse, quint8 portAExtra,
                            quint8 portBUse, quint8 portBExtra);
QByteArray servicePreparation(quint16 sequence);

} // namespace commands
