#pragma once

#include "syncdetails.h"

#include "link/commands.h"
#include "tables/tablelayout.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The six smaller bases that exist both in the PC's database and in the register (product
// groups, packaging, cashiers, discounts, payment forms, currencies) share one
// synchronisation; this table holds everything in which they differ.
namespace basesync {

// Copy to PC: `count` image bytes from `imageFrom` go to the record from `recordFrom`.
struct ByteMap {
    int imageFrom = 0;
    int recordFrom = 0;
    int count = 0;
};

// A field of the PC record, for comparing it with the register's copy.
struct RecordField {
    QString caption;
    int offset = 0;
    int width = 0;
};

// What follows the last record of a programming run: the settling wait, the register's table
// read again and the summary, in the member's order.
enum class RunEnd { WaitReadMessage, MessageWaitRead, WaitMessageRead };

struct TableMember {
    QString id;      // the name on the command line ("groups", "cashiers" ...)
    QString caption; // the form's caption
    QString pcTitle, registerTitle;
    QString confirmCaption; // empty: the option is hidden (its value is then 0)
    // The copy buttons' two-line captions (they act on the checked lines whatever they say).
    QString copyToRegisterCaption = QStringLiteral("Skopiuj zaznaczone\nrekordy do kasy");
    QString copyToPcCaption = QStringLiteral("Skopiuj zaznaczone\nrekordy do PC");
    // The whole form is disabled while "Czekaj..." shows (cashiers, payment forms, groups).
    bool disableFormWhileWaiting = false;
    TableLayout pc;
    int pcLines = 0;       // slots the PC list covers
    int registerLines = 0; // slots of the register's table
    int imageSize = 0;
    int answerLength = 0;
    char letter = 0; // read and programming command
    int listNameWidth = 21;
    int imageNameWidth = 21; // name bytes from image byte 1 (for the deletion frame)
    QList<ByteMap> toPc;
    QList<RecordField> fields;
    QString noun; // " grup towarowych." ...
    RunEnd runEnd = RunEnd::WaitReadMessage;
    int settleMs = 0;
    // Deleting packaging: the first answer is awaited with the report confirmation wait,
    // code 3 clears the image too and ends the run, any other code ends it at once.
    bool reportWaitOnDelete = false;
    // Cashiers and groups show the device error of a refused deletion.
    bool deviceErrorOnDelete = false;
    // The columns after the name, from a register image (PC records are shown through their
    // image, see imageOfRecord).
    QString (*columns)(QByteArrayView image) = nullptr;
    // The statistics shown for a register line.
    Details (*registerDetails)(QByteArrayView image) = nullptr;
    // What a click on a PC line shows besides clearing the statistics (cashiers: rights and
    // password); null: nothing.
    Details (*pcDetails)(QByteArrayView record) = nullptr;
    // Wait after a busy answer to the programming frame sent with `sequence`.
    int (*programBusyWaitMs)(quint16 sequence) = nullptr;
    commands::Frame (*programFrame)(quint8 address, quint16 sequence, QByteArrayView record,
                                    quint8 confirm) = nullptr;
    QByteArray (*deleteFrame)(quint8 address, quint16 sequence, quint8 number, const QString& name,
                              quint8 confirm) = nullptr;
    // Programming copies the PC record into the image by the reverse of toPc.
    QByteArray imageOfRecord(QByteArrayView record) const;
    QByteArray recordOfImage(QByteArrayView image) const;
};

const TableMember& groupsMember();
const TableMember& packagingMember();
const TableMember& cashiersMember();
const TableMember& discountsMember();
const TableMember& paymentFormsMember();
const TableMember& currenciesMember();

// All six, in the order of the communication tab.
const QList<const TableMember*>& tableMembers();
// By command-line name; null when unknown.
const TableMember* tableMember(const QString& id);

} // namespace basesync
