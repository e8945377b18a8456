#include "csvexport.h"

#include "csvencoding.h"
#include "csvfields.h"

#include "common/amount.h"
#include "common/cp1250.h"
#include "common/transferui.h"
#include "database/databasesession.h"
#include "tables/articlerecord.h"
#include "tables/cashierrecord.h"
#include "tables/currencyrecord.h"
#include "tables/discountrecord.h"
#include "tables/grouprecord.h"
#include "tables/packagingrecord.h"
#include "tables/paymentformrecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace csv {

namespace {

QString num(qint64 value)
{
    return QString::number(value);
}

QString flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

// The fields of one used record, in the order of the table's column line.
QStringList fieldsOf(Table table, QByteArrayView rec)
{
    switch (table) {
    case Table::Articles: {
        const ArticleRecord r = ArticleRecord::decode(rec);
        const char vat = r.vat;
        return {num(r.number),
                r.name,
                amount::text(r.price),
                vat == 0 ? QString() : cp1250::decode(QByteArrayView(&vat, 1)),
                r.barcode,
                num(r.group),
                num(r.tandem),
                flag(r.fixedPrice),
                flag(r.wholeQuantity),
                num(r.halo)};
    }
    case Table::Packaging: {
        const PackagingRecord r = PackagingRecord::decode(rec);
        return {num(r.number), r.name, amount::text(r.price), flag(r.priceChange)};
    }
    case Table::Cashiers: {
        const CashierRecord r = CashierRecord::decode(rec);
        QStringList f{num(r.number), r.name, r.password};
        for (bool right : r.rights)
            f.append(flag(right));
        return f;
    }
    case Table::Groups: {
        const GroupRecord r = GroupRecord::decode(rec);
        return {num(r.number), r.name};
    }
    case Table::Discounts: {
        const DiscountRecord r = DiscountRecord::decode(rec);
        return {num(r.number), r.name, num(r.kind), num(r.type), amount::text(r.value)};
    }
    case Table::PaymentForms: {
        const PaymentFormRecord r = PaymentFormRecord::decode(rec);
        return {num(r.number), r.name, num(r.type)};
    }
    case Table::Currencies: {
        const CurrencyRecord r = CurrencyRecord::decode(rec);
        // The record keeps the symbol without its padding; the file shows the three stored
        // characters, padding spaces included.
        return {num(r.number), r.name, exportRate(r.mantissa, r.decimals),
                input::paddedSpaces(r.symbol, 3)};
    }
    }
    return {};
}

bool used(Table table, QByteArrayView rec)
{
    return table == Table::Articles ? ArticleRecord::used(rec) : rec[0] != 0;
}

} // namespace

QString exportRate(qint32 mantissa, int decimals)
{
    const bool negative = mantissa < 0;
    QString digits = QString::number(negative ? -qint64(mantissa) : qint64(mantissa));
    const qsizetype width = std::max<qsizetype>(8, decimals + 1);
    if (digits.size() < width)
        digits.prepend(QString(width - digits.size(), u'0'));
    if (decimals > 0)
        digits.insert(digits.size() - decimals, u',');
    return negative ? u'-' + digits : digits;
}

QByteArray exportBytes(Table table, QByteArrayView tableBytes)
{
    const TableInfo& t = info(table);
    QString text;
    text.reserve(64 + t.lastNumber * 8);
    text.append(t.title).append(u'\n');
    text.append(t.columns).append(u'\n');
    for (int n = 1; n <= t.lastNumber; ++n) {
        const QByteArrayView rec = t.layout.record(tableBytes, n);
        if (used(table, rec))
            appendLine(text, fieldsOf(table, rec));
    }
    return encodeFile(text);
}

QByteArray exportTable(DatabaseSession& session, Table table)
{
    const TableInfo& t = info(table);
    const QByteArray bytes = session.database().readBytes(t.layout.base, t.bytes());
    return exportBytes(table, bytes);
}

QString existsQuestion(const QString& path)
{
    return QStringLiteral("Plik ") + path + QStringLiteral(" już istnieje. Kontynuować? ");
}

ExportOutcome exportToFile(DatabaseSession& session, Table table, const QString& path,
                           TransferUi& ui)
{
    ExportOutcome outcome;
    if (!session.isLoaded()) {
        ui.showMessage(FileClosed, TransferUi::Icon::Error);
        return outcome;
    }
    const QByteArray bytes = exportTable(session, table);
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(fullPath) &&
        ui.ask(existsQuestion(QDir::toNativeSeparators(fullPath)), TransferUi::Buttons::YesNo,
               TransferUi::Icon::Warning) != TransferUi::Answer::Yes) {
        outcome.result = ExportResult::Declined;
        return outcome;
    }
    // Written beside the chosen file, which it replaces only when complete; unbuffered, so
    // that a disk that takes only part of it fails the export.
    QSaveFile file(fullPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        ui.showMessage(WriteError, TransferUi::Icon::Error);
        return outcome;
    }
    outcome.result = ExportResult::Written;
    outcome.label = info(table).exportedMessage;
    return outcome;
}

} // namespace csv
