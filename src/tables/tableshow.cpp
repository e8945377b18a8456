#include "tableshow.h"

#include "common/amount.h"
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

namespace tableshow {

namespace {

QByteArrayView tableOf(QByteArrayView db, const TableLayout& t)
{
    return db.sliced(t.base, t.bytes());
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

bool lines(QByteArrayView db, const QString& table, QStringList& out)
{
    if (db.size() < layout::Halo.base + layout::Halo.bytes() || !tableNames().contains(table))
        return false;
    const QString sep = QStringLiteral("; ");
    if (table == u"articles") {
        const QByteArrayView t = tableOf(db, layout::Articles);
        const QByteArrayView groups = tableOf(db, layout::Groups);
        const QByteArrayView pack = tableOf(db, layout::Packaging);
        for (int n = 1; n <= layout::Articles.count; ++n) {
            const QByteArrayView rec = layout::Articles.record(t, n);
            if (ArticleRecord::used(rec))
                out.append(articleGridRow(ArticleRecord::decode(rec), groups, pack).join(sep));
        }
    } else if (table == u"cashiers") {
        for (int n = 1; n <= layout::Cashiers.count; ++n) {
            const QByteArrayView rec = layout::Cashiers.record(tableOf(db, layout::Cashiers), n);
            if (rec[0] == 0)
                continue;
            const CashierRecord c = CashierRecord::decode(rec);
            QStringList rights;
            for (int i = 0; i < CashierRecord::RightCount; ++i)
                if (c.rights[i])
                    rights.append(cashierRightNames()[i]);
            out.append(QString::number(c.number) + QStringLiteral(". ") + c.name + sep +
                       QStringLiteral("Hasło: ") + cashierPasswordText(c) + sep +
                       rights.join(QStringLiteral(", ")));
        }
    } else if (table == u"discounts") {
        for (int n = 1; n <= layout::Discounts.count; ++n) {
            const QByteArrayView rec = layout::Discounts.record(tableOf(db, layout::Discounts), n);
            if (rec[0] != 0)
                out.append(discountGridRow(DiscountRecord::decode(rec), QStringLiteral("kwot."))
                               .join(sep));
        }
    } else if (table == u"payments") {
        for (int n = 1; n <= layout::PaymentForms.count; ++n) {
            const QByteArrayView rec =
                layout::PaymentForms.record(tableOf(db, layout::PaymentForms), n);
            if (rec[0] == 0)
                continue;
            const PaymentFormRecord p = PaymentFormRecord::decode(rec);
            out.append(QString::number(p.number) + sep + p.name + sep + paymentTypeName(p.type));
        }
    } else if (table == u"currencies") {
        for (int n = 1; n <= layout::Currencies.count; ++n) {
            const QByteArrayView rec =
                layout::Currencies.record(tableOf(db, layout::Currencies), n);
            if (rec[0] == 0)
                continue;
            const CurrencyRecord c = CurrencyRecord::decode(rec);
            out.append(QString::number(c.number) + sep + c.name + sep +
                       rateText(c.mantissa, c.decimals) + sep + c.symbol);
        }
    } else if (table == u"vat") {
        const VatRates v = VatRates::decode(tableOf(db, layout::VatRates));
        for (int i = 0; i < 7; ++i) {
            const auto choice = VatRates::choiceOf(v.values[i]);
            const QString what = choice == VatRates::Taxed
                                     ? VatRates::rateText(v.values[i]) + QStringLiteral(" %")
                                 : choice == VatRates::ExemptChoice ? QStringLiteral("Zwolniona")
                                                                    : QStringLiteral("Nieaktywna");
            out.append(QStringLiteral("PTU ") + QChar(u'A' + i) + QStringLiteral(": ") + what);
        }
    } else if (table == u"packaging") {
        for (int n = 1; n <= layout::Packaging.count; ++n) {
            const QByteArrayView rec = layout::Packaging.record(tableOf(db, layout::Packaging), n);
            if (rec[0] == 0)
                continue;
            const PackagingRecord p = PackagingRecord::decode(rec);
            out.append(QString::number(p.number) + sep + p.name + sep + amount::text(p.price));
        }
    } else if (table == u"groups") {
        for (int n = 1; n <= layout::Groups.count; ++n) {
            const QByteArrayView rec = layout::Groups.record(tableOf(db, layout::Groups), n);
            if (rec[0] != 0)
                out.append(QString::number(quint8(rec[0])) + sep + GroupRecord::decode(rec).name);
        }
    } else if (table == u"header" || table == u"footer") {
        const bool header = table == u"header";
        const receipt::Block b =
            receipt::Block::decode(tableOf(db, header ? layout::Header : layout::Footer),
                                   header ? receipt::HeaderLines : receipt::FooterLines);
        out.append(receipt::readableLines(b));
    } else if (table == u"quickkeys") {
        const QByteArrayView t = tableOf(db, layout::QuickKeys);
        for (int c = 1; c <= 10; ++c)
            for (int k = 1; k <= 10; ++k) {
                const QuickKeyRecord r = QuickKeyRecord::decode(
                    layout::QuickKeys.record(t, QuickKeyRecord::numberOf(c, k)));
                if (r.cashier == 0)
                    continue;
                QStringList entries;
                for (const auto& e : r.entries)
                    if (e.article != 0)
                        entries.append(QString::number(e.article) + QStringLiteral(" x ") +
                                       amount::quantityText(e.quantity));
                out.append(QStringLiteral("Kasjer ") + QString::number(c) + QStringLiteral(" F") +
                           QString::number(k) + QStringLiteral(": ") +
                           entries.join(QStringLiteral(", ")) +
                           (r.endReceipt ? QStringLiteral(" (Kończenie paragonu)") : QString()));
            }
    } else if (table == u"halo") {
        const HaloTable h = HaloTable::decode(tableOf(db, layout::Halo));
        for (int k = 1; k <= 9; ++k)
            out.append(QString::number(k) + QStringLiteral(". ") + amount::text(h.amounts[k]));
    } else if (table == u"reportset") {
        const ReportSet r = ReportSet::decode(tableOf(db, layout::ReportSet));
        for (int i = 0; i < ReportSet::Size; ++i)
            out.append(reportSetNames()[i].trimmed() + QStringLiteral(": ") +
                       reportSetChoices().value(r.choices[i], QString::number(r.choices[i])));
    }
    return true;
}

} // namespace tableshow
