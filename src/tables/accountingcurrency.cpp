#include "accountingcurrency.h"

#include "common/cp1250.h"
#include "database/databasesession.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/link.h"
#include "tables/articlerecord.h"
#include "tables/discountrecord.h"
#include "tables/packagingrecord.h"

namespace accountingcurrency {

namespace {

// Products of a 32-bit amount and a factor of up to 15 digits need more than 64 bits.
__extension__ using Wide = __int128;

Wide pow10(int n)
{
    Wide p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// value / 10^n, truncated towards zero; 0 once 10^n is beyond any product.
Wide shiftDown(Wide value, int n)
{
    return n > 38 ? 0 : value / pow10(n);
}

const QString& badRate()
{
    static const QString text = QStringLiteral("     Błędna wartość w polu Kurs     ");
    return text;
}

constexpr qint64 MaxPrice = 99999999;
constexpr qint64 MaxDiscount = 99999998;

} // namespace

QString Factor::text() const
{
    QString digits = QString::number(mantissa);
    if (decimals > 0) {
        if (digits.size() < decimals + 1)
            digits.prepend(QString(decimals + 1 - digits.size(), u'0'));
        digits.insert(digits.size() - decimals, u',');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        if (digits.endsWith(u','))
            digits.chop(1);
    }
    return digits;
}

std::optional<Factor> parseFactor(const QString& typed)
{
    QString t = typed.trimmed();
    const qsizetype dot = t.indexOf(u'.');
    if (dot >= 0)
        t[dot] = u',';
    Factor f;
    qsizetype comma = -1;
    int digits = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == u',' && comma < 0) {
            comma = i;
            continue;
        }
        if (t[i] < u'0' || t[i] > u'9')
            return std::nullopt;
        f.mantissa = f.mantissa * 10 + (t[i].unicode() - u'0');
        if (comma >= 0)
            ++f.decimals;
        if (f.mantissa > 0 && ++digits > 15)
            return std::nullopt;
    }
    if (f.mantissa == 0)
        return std::nullopt;
    return f;
}

std::optional<Failure> checkInput(const Input& in, QList<Failure>* hints)
{
    QList<Failure> found;
    if (in.rate.isEmpty())
        found.append({QStringLiteral("Edit1"), QStringLiteral(" Wprowadź kurs"), true});
    if (in.symbol.isEmpty())
        found.append({QStringLiteral("Edit2"), QStringLiteral(" Wprowadź symbol"), true});
    if (hints)
        *hints = found;
    if (!found.isEmpty())
        return found.first();
    if (const QString refused =
            cp1250::refusal(in.symbol, QStringLiteral("Symbol nowej waluty ewidencyjnej"));
        !refused.isEmpty())
        return Failure{QStringLiteral("Edit2"), refused};
    return std::nullopt;
}

QString paddedSymbol(const QString& symbol)
{
    return DatabaseSession::paddedSymbol(symbol);
}

QString symbolLabel(const QString& newSymbol, const QString& currentSymbol)
{
    return u'(' + newSymbol + u'/' + currentSymbol + u')';
}

int changeInRegister(Link& link, TransferUi& ui, const Input& in)
{
    if (const auto failure = checkInput(in)) {
        if (!failure->hint)
            ui.showMessage(failure->message, TransferUi::Icon::Warning);
        return -1;
    }
    link.drainInput(ui);
    QString rate = in.rate;
    rate.replace(u'.', u',');
    RateParts parts;
    const QString refusal = rateFromText(rate, parts);
    if (!refusal.isEmpty()) {
        ui.showMessage(refusal, TransferUi::Icon::Warning);
        return -1;
    }
    const QByteArray frame = commands::changeAccountingCurrency(
        link.address, 0x8001, quint32(parts.mantissa), quint8(parts.decimals),
        paddedSymbol(in.symbol), in.printConverter ? 1 : 0, quint16(in.date.year()),
        quint8(in.date.month()), quint8(in.date.day()));
    if (commands::send(link, ui, frame) != 0)
        return -1;
    const int result = answers::confirmationWait(link, ui);
    // Both acknowledgements accept the change; the register sends 0 as well as 3.
    if (answers::confirmed(result))
        return result;
    if (result == answers::DeviceError)
        answers::showDeviceError(ui, link.at(8));
    else
        ui.showMessage(QStringLiteral("Błąd komunikacji."), TransferUi::Icon::Error);
    return result;
}

qint64 convertedAmount(qint64 amount, const Factor& factor, qint64 cap)
{
    const Wide product = shiftDown(Wide(amount) * factor.mantissa, factor.decimals);
    return product > cap ? cap : qint64(product);
}

RateParts convertedRate(qint32 mantissa, int decimals, const Factor& factor)
{
    const bool negative = mantissa < 0;
    const Wide total = (negative ? -Wide(mantissa) : Wide(mantissa)) * factor.mantissa;
    const int scale = decimals + factor.decimals;
    const auto scaled = [&](int places) {
        return places >= scale ? total * pow10(places - scale) : shiftDown(total, scale - places);
    };
    if (scaled(2) > 99999999)
        return {negative ? -99999999 : 99999999, 2};
    const Wide whole = scaled(0);
    int wholeDigits = 1;
    for (Wide w = whole; w >= 10; w /= 10)
        ++wholeDigits;
    const int places = 8 - wholeDigits;
    const qint32 m = qint32(scaled(places));
    return {negative ? -m : m, places};
}

Conversion changeInDatabase(DatabaseSession& session, const Input& in)
{
    Conversion out;
    if (const auto failure = checkInput(in)) {
        out.message = failure->message;
        return out;
    }
    const auto factor = parseFactor(in.rate);
    if (!factor) {
        out.message = badRate();
        return out;
    }
    RegisterDatabase& db = session.database();
    if (!db.isOpen()) {
        out.message = QStringLiteral("     Plik zamknięty.     ");
        return out;
    }
    const QString symbol = paddedSymbol(in.symbol);

    QByteArray articles = readTable(db, layout::Articles);
    for (int n = 1; n <= layout::Articles.count; ++n) {
        const qsizetype at = qsizetype(n - 1) * layout::Articles.recordSize;
        if (!ArticleRecord::used(QByteArrayView(articles).sliced(at, 2)))
            continue;
        const qint32 price = le::i32(articles, int(at + 45));
        le::put32(articles, int(at + 45), qint32(convertedAmount(price, *factor, MaxPrice)));
        ++out.articles;
    }
    QByteArray discounts = readTable(db, layout::Discounts);
    for (int n = 1; n <= layout::Discounts.count; ++n) {
        const int at = (n - 1) * layout::Discounts.recordSize;
        if (discounts[at] == 0 || discounts[at + 23] != DiscountRecord::Amount)
            continue;
        // An amount discount of nothing is not one: the smallest keeps one grosz.
        const qint32 value = le::i32(discounts, at + 24);
        const qint64 converted = convertedAmount(value, *factor, MaxDiscount);
        le::put32(discounts, at + 24, qint32(value > 0 && converted < 1 ? 1 : converted));
        ++out.discounts;
    }
    QByteArray currencies = readTable(db, layout::Currencies);
    for (int n = 1; n <= layout::Currencies.count; ++n) {
        const int at = (n - 1) * layout::Currencies.recordSize;
        if (currencies[at] == 0)
            continue;
        const RateParts rate =
            convertedRate(le::i32(currencies, at + 22), quint8(currencies[at + 26]), *factor);
        le::put32(currencies, at + 22, rate.mantissa);
        currencies[at + 26] = char(rate.decimals);
        ++out.currencies;
    }
    QByteArray packaging = readTable(db, layout::Packaging);
    for (int n = 1; n <= layout::Packaging.count; ++n) {
        const int at = (n - 1) * layout::Packaging.recordSize;
        if (packaging[at] == 0)
            continue;
        // Packaging must keep a price above zero.
        const qint32 price = le::i32(packaging, at + 43);
        const qint64 converted = convertedAmount(price, *factor, MaxPrice);
        le::put32(packaging, at + 43, qint32(price > 0 && converted < 1 ? 1 : converted));
        ++out.packaging;
    }

    const bool written =
        db.writeRecord(layout::CurrencyFieldChange.base, cp1250::padSpaces(symbol, 3)) &&
        db.writeRecord(layout::Articles.base, articles) &&
        db.writeRecord(layout::Discounts.base, discounts) &&
        db.writeRecord(layout::Currencies.base, currencies) &&
        db.writeRecord(layout::Packaging.base, packaging) && !db.failed();
    session.setModified(true);
    if (!written) {
        out.message = QStringLiteral("     Plik zamknięty.     ");
        return out;
    }
    session.setCurrencySymbol(symbol);
    out.ok = true;
    out.message = QStringLiteral("Zamieniono walutę ewidencyjną na ") + symbol +
                  QStringLiteral(". Kurs wymiany: ") + factor->text();
    return out;
}

} // namespace accountingcurrency
