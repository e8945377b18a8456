#include "tableshow.h"

#include "common/amount.h"
#include "common/cp1250.h"
#include "tables/articlerecord.h"
#include "tables/cashierrecord.h"
#include "tables/currencyrecord.h"
#include "tables/discountrecord.h"
#include "tables/grouprecord.h"
#include "tables/halo.h"
#include "tables/packagingrecord.h"
#include "tables/paymentformrecord.h"
#include "tables/quickkeys.h"
#include "tables/receipttext.h"
#include "tables/reportset.h"
#include "tables/vatrates.h"

#include <QJsonArray>

#include <cmath>

namespace tableshow {

QString Record::line() const
{
    QString out;
    for (const Field& f : fields)
        if (f.shown)
            out += f.before + f.text;
    return out;
}

QJsonObject Record::object() const
{
    QJsonObject o;
    for (const Field& f : fields)
        o.insert(f.key, f.value);
    return o;
}

namespace {

const QString Sep = QStringLiteral("; ");

QByteArrayView tableOf(QByteArrayView db, const TableLayout& t)
{
    return db.sliced(t.base, t.bytes());
}

Field shown(const QString& key, const QJsonValue& value, const QString& before, const QString& text)
{
    return {key, value, true, before, text};
}

Field hidden(const QString& key, const QJsonValue& value)
{
    return {key, value, false, QString(), QString()};
}

// An amount in hundredths as shown, with its text beside it for JSON.
void addAmount(Record& r, const QString& key, qint64 hundredths, const QString& before,
               const QString& text)
{
    r.fields.append(shown(key, hundredths, before, text));
    r.fields.append(hidden(key + QStringLiteral("Text"), amount::text(hundredths)));
}

QJsonValue numberOrNull(int n)
{
    return n != 0 ? QJsonValue(n) : QJsonValue(QJsonValue::Null);
}

QString nameInTable(QByteArrayView table, const TableLayout& layout, int number)
{
    if (number < 1 || number > layout.count || table.size() < layout.bytes())
        return {};
    const QByteArrayView rec = layout.record(table, number);
    return &layout == &layout::Groups ? GroupRecord::decode(rec).name
                                      : PackagingRecord::decode(rec).name;
}

void articles(QByteArrayView db, QList<Record>& out)
{
    const QByteArrayView t = tableOf(db, layout::Articles);
    const QByteArrayView groups = tableOf(db, layout::Groups);
    const QByteArrayView pack = tableOf(db, layout::Packaging);
    for (int n = 1; n <= layout::Articles.count; ++n) {
        const QByteArrayView bytes = layout::Articles.record(t, n);
        if (!ArticleRecord::used(bytes))
            continue;
        const ArticleRecord a = ArticleRecord::decode(bytes);
        // The same columns as the article grid shows.
        const QStringList col = articleGridRow(a, groups, pack);
        Record r;
        r.fields.append(shown(QStringLiteral("number"), a.number, QString(), col[0]));
        r.fields.append(shown(QStringLiteral("name"), a.name, Sep, col[1]));
        r.fields.append(shown(QStringLiteral("vat"), col[2], Sep, col[2]));
        addAmount(r, QStringLiteral("price"), a.price, Sep, col[3]);
        r.fields.append(shown(QStringLiteral("barcode"), a.barcode, Sep, col[4]));
        r.fields.append(shown(QStringLiteral("group"), a.group, Sep, col[5]));
        const QString groupName = nameInTable(groups, layout::Groups, a.group);
        r.fields.append(
            hidden(QStringLiteral("groupName"), a.group >= 1 && a.group <= layout::Groups.count
                                                    ? QJsonValue(groupName)
                                                    : QJsonValue(QJsonValue::Null)));
        r.fields.append(shown(QStringLiteral("packaging"), numberOrNull(a.tandem), Sep, col[6]));
        r.fields.append(hidden(QStringLiteral("packagingName"),
                               a.tandem >= 1 && a.tandem <= layout::Packaging.count
                                   ? QJsonValue(nameInTable(pack, layout::Packaging, a.tandem))
                                   : QJsonValue(QJsonValue::Null)));
        r.fields.append(shown(QStringLiteral("fixedPrice"), a.fixedPrice, Sep, col[7]));
        r.fields.append(shown(QStringLiteral("wholeQuantity"), a.wholeQuantity, Sep, col[8]));
        r.fields.append(shown(QStringLiteral("halo"), numberOrNull(a.halo), Sep, col[9]));
        r.fields.append(shown(QStringLiteral("unit"), numberOrNull(a.unit), Sep, col[10]));
        out.append(r);
    }
}

void cashiers(QByteArrayView db, QList<Record>& out)
{
    // JSON keys of the seven rights, in record order.
    static const char* const rightKeys[CashierRecord::RightCount] = {
        "nonZeroingReports", "zeroingReports", "manualDiscounts", "tableDiscounts",
        "cancelReceipt",     "voidOperations", "cashInOut"};
    for (int n = 1; n <= layout::Cashiers.count; ++n) {
        const QByteArrayView bytes = layout::Cashiers.record(tableOf(db, layout::Cashiers), n);
        if (bytes[0] == 0)
            continue;
        const CashierRecord c = CashierRecord::decode(bytes);
        QStringList names;
        QJsonObject rights;
        for (int i = 0; i < CashierRecord::RightCount; ++i) {
            rights.insert(QLatin1String(rightKeys[i]), c.rights[i]);
            if (c.rights[i])
                names.append(cashierRightNames()[i]);
        }
        Record r;
        r.fields.append(
            shown(QStringLiteral("number"), c.number, QString(), QString::number(c.number)));
        r.fields.append(shown(QStringLiteral("name"), c.name, QStringLiteral(". "), c.name));
        r.fields.append(
            shown(QStringLiteral("password"),
                  c.password.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(c.password),
                  Sep + QStringLiteral("Hasło: "), cashierPasswordText(c)));
        r.fields.append(
            shown(QStringLiteral("rights"), rights, Sep, names.join(QStringLiteral(", "))));
        out.append(r);
    }
}

void discounts(QByteArrayView db, QList<Record>& out)
{
    for (int n = 1; n <= layout::Discounts.count; ++n) {
        const QByteArrayView bytes = layout::Discounts.record(tableOf(db, layout::Discounts), n);
        if (bytes[0] == 0)
            continue;
        const DiscountRecord d = DiscountRecord::decode(bytes);
        const QStringList col = discountGridRow(d, QStringLiteral("kwot."));
        const bool markup = d.kind == DiscountRecord::Markup;
        const bool byAmount = d.type == DiscountRecord::Amount;
        Record r;
        r.fields.append(shown(QStringLiteral("number"), d.number, QString(), col[0]));
        r.fields.append(shown(QStringLiteral("name"), d.name, Sep, col[1]));
        r.fields.append(shown(QStringLiteral("kind"),
                              markup ? QStringLiteral("markup") : QStringLiteral("discount"), Sep,
                              col[2]));
        addAmount(r, QStringLiteral("value"), d.value, Sep, col[3]);
        r.fields.append(shown(QStringLiteral("type"),
                              byAmount ? QStringLiteral("amount") : QStringLiteral("percentage"),
                              Sep, col[4]));
        out.append(r);
    }
}

void payments(QByteArrayView db, QList<Record>& out)
{
    // The five payment types 1..5 as identifiers.
    static const char* const typeKeys[] = {"card", "cheque", "voucher", "credit", "other"};
    for (int n = 1; n <= layout::PaymentForms.count; ++n) {
        const QByteArrayView bytes =
            layout::PaymentForms.record(tableOf(db, layout::PaymentForms), n);
        if (bytes[0] == 0)
            continue;
        const PaymentFormRecord p = PaymentFormRecord::decode(bytes);
        Record r;
        r.fields.append(
            shown(QStringLiteral("number"), p.number, QString(), QString::number(p.number)));
        r.fields.append(shown(QStringLiteral("name"), p.name, Sep, p.name));
        r.fields.append(shown(QStringLiteral("type"),
                              p.type >= 1 && p.type <= 5
                                  ? QJsonValue(QLatin1String(typeKeys[p.type - 1]))
                                  : QJsonValue(QJsonValue::Null),
                              Sep, paymentTypeName(p.type)));
        out.append(r);
    }
}

void currencies(QByteArrayView db, QList<Record>& out)
{
    for (int n = 1; n <= layout::Currencies.count; ++n) {
        const QByteArrayView bytes = layout::Currencies.record(tableOf(db, layout::Currencies), n);
        if (bytes[0] == 0)
            continue;
        const CurrencyRecord c = CurrencyRecord::decode(bytes);
        const QString rate = rateText(c.mantissa, c.decimals);
        Record r;
        r.fields.append(
            shown(QStringLiteral("number"), c.number, QString(), QString::number(c.number)));
        r.fields.append(shown(QStringLiteral("name"), c.name, Sep, c.name));
        // The rate keeps its own number of decimals, so it goes out as a decimal number.
        r.fields.append(
            shown(QStringLiteral("rate"), c.mantissa / std::pow(10.0, c.decimals), Sep, rate));
        r.fields.append(hidden(QStringLiteral("rateText"), rate));
        r.fields.append(shown(QStringLiteral("symbol"), c.symbol, Sep, c.symbol));
        out.append(r);
    }
}

void vat(QByteArrayView db, QList<Record>& out)
{
    const VatRates v = VatRates::decode(tableOf(db, layout::VatRates));
    for (int i = 0; i < 7; ++i) {
        const auto choice = VatRates::choiceOf(v.values[i]);
        const bool taxed = choice == VatRates::Taxed;
        const QString letter(QChar(u'A' + i));
        const QString what = taxed ? VatRates::rateText(v.values[i]) + QStringLiteral(" %")
                             : choice == VatRates::ExemptChoice ? QStringLiteral("Zwolniona")
                                                                : QStringLiteral("Nieaktywna");
        Record r;
        r.fields.append(shown(QStringLiteral("letter"), letter, QStringLiteral("PTU "), letter));
        r.fields.append(hidden(QStringLiteral("state"), taxed ? QStringLiteral("taxed")
                                                        : choice == VatRates::ExemptChoice
                                                            ? QStringLiteral("exempt")
                                                            : QStringLiteral("inactive")));
        // The rate in hundredths of a percent (2300 = 23 %), none unless taxed.
        r.fields.append(shown(QStringLiteral("rate"),
                              taxed ? QJsonValue(int(v.values[i])) : QJsonValue(QJsonValue::Null),
                              QStringLiteral(": "), what));
        r.fields.append(
            hidden(QStringLiteral("rateText"),
                   taxed ? QJsonValue(amount::text(v.values[i])) : QJsonValue(QJsonValue::Null)));
        out.append(r);
    }
}

void packaging(QByteArrayView db, QList<Record>& out)
{
    for (int n = 1; n <= layout::Packaging.count; ++n) {
        const QByteArrayView bytes = layout::Packaging.record(tableOf(db, layout::Packaging), n);
        if (bytes[0] == 0)
            continue;
        const PackagingRecord p = PackagingRecord::decode(bytes);
        Record r;
        r.fields.append(
            shown(QStringLiteral("number"), p.number, QString(), QString::number(p.number)));
        r.fields.append(shown(QStringLiteral("name"), p.name, Sep, p.name));
        addAmount(r, QStringLiteral("price"), p.price, Sep, amount::text(p.price));
        r.fields.append(hidden(QStringLiteral("priceChange"), p.priceChange));
        out.append(r);
    }
}

void groups(QByteArrayView db, QList<Record>& out)
{
    for (int n = 1; n <= layout::Groups.count; ++n) {
        const QByteArrayView bytes = layout::Groups.record(tableOf(db, layout::Groups), n);
        if (bytes[0] == 0)
            continue;
        const int number = quint8(bytes[0]);
        const QString name = GroupRecord::decode(bytes).name;
        Record r;
        r.fields.append(
            shown(QStringLiteral("number"), number, QString(), QString::number(number)));
        r.fields.append(shown(QStringLiteral("name"), name, Sep, name));
        out.append(r);
    }
}

// The print lines of a header or footer: "n. |text|", a large character shown after "^",
// "  [wysoka]" before the closing bar of a tall line.
void receiptBlock(QByteArrayView db, bool header, QList<Record>& out)
{
    const receipt::Block b =
        receipt::Block::decode(tableOf(db, header ? layout::Header : layout::Footer),
                               header ? receipt::HeaderLines : receipt::FooterLines);
    for (int i = 0; i < b.lineCount && (i + 1) * receipt::LineWidth <= b.lines.size(); ++i) {
        const QByteArray bytes = b.lines.mid(i * receipt::LineWidth, receipt::LineWidth);
        QByteArray markedBytes = bytes;
        markedBytes.replace(receipt::LargeMark, "^");
        QByteArray plainBytes = bytes;
        plainBytes.replace(receipt::LargeMark, "");
        const QString marked = cp1250::readField(markedBytes);
        const bool tall = b.tall.value(i);
        Record r;
        r.fields.append(shown(QStringLiteral("number"), i + 1, QString(), QString::number(i + 1)));
        r.fields.append(shown(QStringLiteral("marked"), marked, QStringLiteral(". |"), marked));
        r.fields.append(hidden(QStringLiteral("text"), cp1250::readField(plainBytes).trimmed()));
        r.fields.append(shown(QStringLiteral("tall"), tall, QString(),
                              tall ? QStringLiteral("  [wysoka]|") : QStringLiteral("|")));
        out.append(r);
    }
}

void quickKeys(QByteArrayView db, QList<Record>& out)
{
    const QByteArrayView t = tableOf(db, layout::QuickKeys);
    for (int c = 1; c <= 10; ++c)
        for (int k = 1; k <= 10; ++k) {
            const QuickKeyRecord q =
                QuickKeyRecord::decode(layout::QuickKeys.record(t, QuickKeyRecord::numberOf(c, k)));
            if (q.cashier == 0)
                continue;
            QStringList texts;
            QJsonArray entries;
            for (const auto& e : q.entries)
                if (e.article != 0) {
                    const QString quantity = amount::quantityText(e.quantity);
                    texts.append(QString::number(e.article) + QStringLiteral(" x ") + quantity);
                    entries.append(QJsonObject{{QStringLiteral("article"), e.article},
                                               {QStringLiteral("quantity"), e.quantity},
                                               {QStringLiteral("quantityText"), quantity}});
                }
            Record r;
            r.fields.append(
                shown(QStringLiteral("cashier"), c, QStringLiteral("Kasjer "), QString::number(c)));
            r.fields.append(
                shown(QStringLiteral("key"), k, QStringLiteral(" F"), QString::number(k)));
            r.fields.append(shown(QStringLiteral("entries"), entries, QStringLiteral(": "),
                                  texts.join(QStringLiteral(", "))));
            r.fields.append(
                shown(QStringLiteral("endReceipt"), q.endReceipt, QString(),
                      q.endReceipt ? QStringLiteral(" (Kończenie paragonu)") : QString()));
            out.append(r);
        }
}

void halo(QByteArrayView db, QList<Record>& out)
{
    const HaloTable h = HaloTable::decode(tableOf(db, layout::Halo));
    for (int k = 1; k <= 9; ++k) {
        Record r;
        r.fields.append(shown(QStringLiteral("number"), k, QString(), QString::number(k)));
        addAmount(r, QStringLiteral("amount"), h.amounts[k], QStringLiteral(". "),
                  amount::text(h.amounts[k]));
        out.append(r);
    }
}

void reportSet(QByteArrayView db, QList<Record>& out)
{
    // The three choices 0..2 as identifiers.
    static const char* const choiceKeys[] = {"notProgrammed", "full", "nonZeroRecords"};
    const ReportSet s = ReportSet::decode(tableOf(db, layout::ReportSet));
    for (int i = 0; i < ReportSet::Size; ++i) {
        const int choice = s.choices[i];
        const QString name = reportSetNames()[i].trimmed();
        Record r;
        r.fields.append(hidden(QStringLiteral("number"), i + 1));
        r.fields.append(shown(QStringLiteral("name"), name, QString(), name));
        r.fields.append(
            shown(QStringLiteral("choice"),
                  choice >= 0 && choice <= 2 ? QJsonValue(QLatin1String(choiceKeys[choice]))
                                             : QJsonValue(QJsonValue::Null),
                  QStringLiteral(": "), reportSetChoices().value(choice, QString::number(choice))));
        out.append(r);
    }
}

} // namespace

const QStringList& tableNames()
{
    static const QStringList names{
        QStringLiteral("articles"),  QStringLiteral("cashiers"),   QStringLiteral("discounts"),
        QStringLiteral("payments"),  QStringLiteral("currencies"), QStringLiteral("vat"),
        QStringLiteral("packaging"), QStringLiteral("groups"),     QStringLiteral("header"),
        QStringLiteral("footer"),    QStringLiteral("quickkeys"),  QStringLiteral("halo"),
        QStringLiteral("reportset")};
    return names;
}

bool records(QByteArrayView db, const QString& table, QList<Record>& out)
{
    if (db.size() < layout::Halo.base + layout::Halo.bytes() || !tableNames().contains(table))
        return false;
    if (table == u"articles")
        articles(db, out);
    else if (table == u"cashiers")
        cashiers(db, out);
    else if (table == u"discounts")
        discounts(db, out);
    else if (table == u"payments")
        payments(db, out);
    else if (table == u"currencies")
        currencies(db, out);
    else if (table == u"vat")
        vat(db, out);
    else if (table == u"packaging")
        packaging(db, out);
    else if (table == u"groups")
        groups(db, out);
    else if (table == u"header" || table == u"footer")
        receiptBlock(db, table == u"header", out);
    else if (table == u"quickkeys")
        quickKeys(db, out);
    else if (table == u"halo")
        halo(db, out);
    else if (table == u"reportset")
        reportSet(db, out);
    return true;
}

bool lines(QByteArrayView db, const QString& table, QStringList& out)
{
    QList<Record> list;
    if (!records(db, table, list))
        return false;
    for (const Record& r : list)
        out.append(r.line());
    return true;
}

} // namespace tableshow
