#include "reports/reportorder.h"

#include "link/commands.h"

#include <optional>

namespace reports {

namespace {

constexpr uint16_t kSingleFrame = 0x8001;
constexpr uint16_t kFirstFrame = 1;
constexpr int kHighestNumber = 2000;

void putU16(QByteArray& f, int at, int value)
{
    f[at] = char(value & 0xFF);
    f[at + 1] = char((value >> 8) & 0xFF);
}

void fill(QByteArray& f, int from, int to, uint8_t value)
{
    for (int i = from; i <= to; ++i)
        f[i] = char(value);
}

std::optional<int> toNumber(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

// Only plain digits: the masked edits hold digits or the "_" of an empty position.
std::optional<int> digitsNumber(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    int v = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}

QString periodic(const ReportParams& p, QByteArray& f, uint16_t& sequence)
{
    switch (p.variant) {
    case PeriodicVariant::Monthly: {
        // "mm-rrrr": month in characters 1-2, year in 4-7. The month is not range-checked,
        // the register itself refuses a month above 12.
        const QStringView text = QStringView(p.monthText).left(7);
        const auto month = digitsNumber(text.left(2));
        const auto year = text.size() >= 4 ? digitsNumber(text.mid(3)) : std::nullopt;
        if (!month || !year || text.size() < 7)
            return QStringLiteral("Błędna data");
        sequence = kSingleFrame;
        f[7] = char(p.fullReport ? 2 : 3);
        f[8] = char(0xFF);
        putU16(f, 9, *year);
        f[11] = char(*month);
        fill(f, 12, 16, 0xFF);
        return {};
    }
    case PeriodicVariant::Period:
        // The order of the two dates is left to the register.
        f[7] = char(p.fullReport ? 0 : 1);
        f[8] = 0;
        putU16(f, 9, p.from.year());
        f[11] = char(p.from.month());
        f[12] = char(p.from.day());
        putU16(f, 13, p.to.year());
        f[15] = char(p.to.month());
        f[16] = char(p.to.day());
        return {};
    case PeriodicVariant::Numbers: {
        const auto first = toNumber(p.firstReport);
        if (!first)
            return QStringLiteral("Błędny numer raportu początkowego");
        const auto last = toNumber(p.lastReport);
        if (!last)
            return QStringLiteral("Błędny numer raportu końcowego");
        if (*last < *first)
            return QStringLiteral("Raport końcowy musi mieć większy numer niż raport początkowy");
        if (*first < 1 || *first > kHighestNumber || *last < 1 || *last > kHighestNumber)
            return QStringLiteral("Numer raportu musi zawierać się w przedziale 1 - 2000");
        f[7] = char(p.fullReport ? 0 : 1);
        f[8] = 1;
        putU16(f, 9, *first);
        putU16(f, 11, *last);
        fill(f, 13, 16, 0xFF);
        return {};
    }
    }
    return {};
}

// Bytes 7-11: scope byte, then the range 1-2000, the group or the article range.
QString scope(const ReportParams& p, QByteArray& f)
{
    switch (p.scope) {
    case Scope::WholeBase:
        f[7] = 1;
        putU16(f, 8, 1);
        putU16(f, 10, kHighestNumber);
        return {};
    case Scope::Group:
        if (p.group < 1 || p.group > 20)
            return QStringLiteral("Błędny numer grupy towarowej");
        f[7] = 2;
        f[8] = char(p.group);
        fill(f, 9, 11, 0xFF);
        return {};
    case Scope::Articles: {
        const auto first = toNumber(p.firstArticle);
        const auto last = toNumber(p.lastArticle);
        if (!first || !last)
            return QStringLiteral("Błędy numer towaru");
        if (*first < 1 || *first > kHighestNumber || *last < 1 || *last > kHighestNumber)
            return QStringLiteral("Numery towarów muszą zawierać się w przedziale 1-2000");
        if (*last < *first)
            return QStringLiteral(
                "Numer towaru początkowego nie może być większy niż numer towaru końcowego");
        f[7] = 3;
        putU16(f, 8, *first);
        putU16(f, 10, *last);
        return {};
    }
    }
    return {};
}

QString turnover(const ReportParams& p, QByteArray& f)
{
    const auto startYear = digitsNumber(p.startYear.trimmed());
    const auto endYear = digitsNumber(p.endYear.trimmed());
    if (!startYear || !endYear || *startYear > 9999 || *endYear > 9999)
        return QStringLiteral("Błędny rok");
    if (p.startMonth < 1 || p.startMonth > 12 || p.endMonth < 1 || p.endMonth > 12)
        return QStringLiteral("Błędny miesiąc");
    f[7] = char(p.startMonth);
    putU16(f, 8, *startYear);
    f[10] = char(p.endMonth);
    putU16(f, 11, *endYear);
    f[13] = 1;
    f[14] = p.zeroRecords ? 't' : 'n';
    return {};
}

} // namespace

ReportOrder buildOrder(Kind kind, const ReportParams& p, uint8_t address)
{
    const KindInfo& k = info(kind);
    uint16_t sequence = kFirstFrame;
    if (k.layout == Layout::Cashier || k.layout == Layout::Turnover)
        sequence = kSingleFrame;
    // Laid out at frame offsets (7 = first data byte) so the bytes read as the table of
    // report kinds lists them; the link's builder writes the head and the check byte.
    QByteArray f(k.length, '\0');

    QString error;
    switch (k.layout) {
    case Layout::Periodic:
        error = periodic(p, f, sequence);
        break;
    case Layout::SalesScope:
        error = scope(p, f);
        f[12] = char(p.zeroing ? 1 : 0);
        f[13] = char(p.zeroRecords ? 1 : 0);
        break;
    case Layout::Scope:
        error = scope(p, f);
        f[12] = char(p.zeroRecords ? 1 : 0);
        break;
    case Layout::Cashier:
        if (p.cashier < 1 || p.cashier > 10)
            error = QStringLiteral("Błędny numer kasjera");
        f[7] = char(p.cashier);
        f[8] = char(p.zeroing ? 1 : 0);
        f[9] = char(p.fullReport ? 1 : 0);
        break;
    case Layout::TwoOptions:
        f[7] = char(p.zeroRecords ? 1 : 0);
        f[8] = char(p.zeroing ? 1 : 0);
        break;
    case Layout::Plain:
        f[7] = 1;
        break;
    case Layout::Turnover:
        error = turnover(p, f);
        break;
    }
    if (!error.isEmpty())
        return {error, {}};
    if (k.layout == Layout::Turnover)
        return {{},
                commands::groupTurnoverReport(
                    address, sequence, uint8_t(f[7]), uint16_t(uint8_t(f[8]) | uint8_t(f[9]) << 8),
                    uint8_t(f[10]), uint16_t(uint8_t(f[11]) | uint8_t(f[12]) << 8), p.zeroRecords)};
    return {{},
            commands::reportOrder(address, sequence, k.command,
                                  QByteArrayView(f).sliced(7, k.length - 9))};
}

QString defaultMonthText(const QDate& today)
{
    const QDate previous = today.addMonths(-1);
    return QStringLiteral("%1-%2")
        .arg(previous.month(), 2, 10, QLatin1Char('0'))
        .arg(previous.year(), 4, 10, QLatin1Char('0'));
}

} // namespace reports
