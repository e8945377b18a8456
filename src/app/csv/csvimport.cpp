#include "csvimport.h"

#include "csvexport.h"
#include "csvfields.h"

#include "common/amount.h"
#include "common/cp1250.h"
#include "common/transferui.h"
#include "database/databasesession.h"
#include "tables/articlerecord.h"
#include "tables/articlewarnings.h"
#include "tables/cashierrecord.h"
#include "tables/currencyrecord.h"
#include "tables/discountrecord.h"
#include "tables/grouprecord.h"
#include "tables/packagingrecord.h"
#include "tables/paymentformrecord.h"

#include <QDir>
#include <QFile>

#include <limits>

namespace csv {

namespace {

const QString NothingImported = QStringLiteral(" Nie zaimportowano żadnych danych.");
constexpr qint64 MaxAmount = 99999999; // 999999,99
constexpr int ByteMax = 255;

// A text of the file as a message shows it: control characters as "�", so that a 0 byte or
// a line break cannot cut or break the message.
QString shown(QString text)
{
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    return text;
}

// Every character cp1250 has not got (a pair of surrogates counts as one) replaced by "?".
QString representableOnly(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, width);
        out += cp1250::representable(c) ? c : QStringLiteral("?");
        i += width - 1;
    }
    return out;
}

// The fields of one data line, read with the checks of their columns. The first refusal is
// kept; later reads return harmless values so that the caller simply asks error() at the end.
class LineReader {
public:
    LineReader(const Row& row, const QStringList& columns) : m_row(row), m_columns(columns) {}

    const QString& error() const { return m_error; }

    // A field beyond the last separator is empty.
    QString text(int col) const
    {
        return col < m_row.fields.size() ? m_row.fields[col] : QString();
    }

    // A text field of the record. A control character has no place in the register's texts
    // (a 0 would even cut the text where the record pads it): it refuses the file. The bytes
    // cp1250 leaves undefined (0x81, 0x83, ...) read as the C1 codes and pass as they are, so
    // that a record holding them exports and imports back the same. A character cp1250 has
    // not got becomes "?", which the export writes back as it is.
    QString textField(int col)
    {
        const QString t = text(col);
        for (qsizetype i = 0; i < t.size(); ++i) {
            if (t[i].unicode() < 0x20 || t[i].unicode() == 0x7F) {
                failWith(col,
                         QStringLiteral("znak sterujący o kodzie %1 na pozycji %2")
                             .arg(t[i].unicode())
                             .arg(i + 1),
                         QStringLiteral("tekstu bez znaków sterujących"));
                return QString();
            }
        }
        return cp1250::representable(t) ? t : representableOnly(t);
    }

    // The cashier's password: up to four digits, as the register keys it in.
    QString password(int col)
    {
        const QString t = textField(col);
        bool digits = t.size() <= 4;
        for (QChar c : t)
            digits = digits && c >= u'0' && c <= u'9';
        if (!digits) {
            fail(col, QStringLiteral("hasła złożonego z najwyżej 4 cyfr"));
            return QString();
        }
        return t;
    }

    qint64 integer(int col, qint64 min, qint64 max)
    {
        const auto v = input::integer(text(col));
        if (!v || *v < min || *v > max) {
            fail(col, QStringLiteral("liczby całkowitej od %1 do %2").arg(min).arg(max));
            return min;
        }
        return *v;
    }

    bool flag(int col) { return integer(col, 0, 1) != 0; }

    // "," or "." as the decimal separator, whatever the system's locale; digits after the
    // second decimal place are cut off.
    qint32 amount(int col, qint64 max = MaxAmount)
    {
        const auto v = input::truncated(text(col), 2);
        if (!v || *v < 0 || *v > max) {
            fail(col, QStringLiteral("kwoty od 0,00 do ") + amount::text(max));
            return 0;
        }
        return qint32(*v);
    }

    // The VAT letter: byte 0 for an empty field, else one of "A".."G".
    char vat(int col)
    {
        const QString t = text(col).trimmed();
        if (t.isEmpty())
            return 0;
        if (t.size() != 1 || t[0] < u'A' || t[0] > u'G') {
            fail(col, QStringLiteral("litery stawki PTU od A do G"));
            return 0;
        }
        return char(t[0].unicode());
    }

    QString barcode(int col)
    {
        const QString t = textField(col).trimmed();
        if (t.size() > 13) {
            fail(col, QStringLiteral("kodu kreskowego o długości najwyżej 13 znaków"));
            return QString();
        }
        return t;
    }

    // The rate: the decimals are the characters after the comma ("." counts as one), the digits
    // without the comma are the mantissa; no comma means 0 decimals.
    RateParts rate(int col)
    {
        const QString t = text(col).trimmed();
        RateParts r;
        qint64 mantissa = 0;
        qsizetype comma = -1;
        int digits = 0;
        bool good = !t.isEmpty();
        for (qsizetype i = 0; good && i < t.size(); ++i) {
            const QChar c = t[i];
            if ((c == u',' || c == u'.') && comma < 0) {
                comma = i;
            } else if (c >= u'0' && c <= u'9') {
                ++digits;
                mantissa = mantissa * 10 + (c.unicode() - u'0');
                good = mantissa <= std::numeric_limits<qint32>::max();
            } else {
                good = false;
            }
        }
        const qsizetype decimals = comma < 0 ? 0 : t.size() - comma - 1;
        if (!good || digits == 0 || decimals > ByteMax) {
            fail(col, QStringLiteral("kursu złożonego z cyfr i najwyżej jednego przecinka"));
            return r;
        }
        r.mantissa = qint32(mantissa);
        r.decimals = int(decimals);
        return r;
    }

    void fail(int col, const QString& expected)
    {
        const QString value = text(col);
        failWith(col,
                 value.isEmpty() ? QStringLiteral("puste pole")
                                 : QStringLiteral("„") + shown(value) + QStringLiteral("”"),
                 expected);
    }

    void failWith(int col, const QString& found, const QString& expected)
    {
        if (!m_error.isEmpty())
            return;
        m_error = QStringLiteral("Błąd w wierszu %1, w kolumnie %2 (%3): %4 – oczekiwano %5.")
                      .arg(m_row.line)
                      .arg(col + 1)
                      .arg(m_columns.value(col), found, expected) +
                  NothingImported;
    }

private:
    const Row& m_row;
    const QStringList& m_columns;
    QString m_error;
};

// The record of one data line (its number already checked), as the table's bytes.
QByteArray buildRecord(Table table, int number, LineReader& in, QByteArrayView previous)
{
    switch (table) {
    case Table::Articles: {
        ArticleRecord r;
        r.number = number;
        r.name = in.textField(1);
        r.price = in.amount(2);
        r.vat = in.vat(3);
        r.barcode = in.barcode(4);
        // The register knows groups 1..20, packaging 1..20 (0 none) and halo entries 1..9.
        r.group = int(in.integer(5, 1, 20));
        r.tandem = int(in.integer(6, 0, 20));
        r.fixedPrice = in.flag(7);
        r.wholeQuantity = in.flag(8);
        r.halo = int(in.integer(9, 0, 9));
        // The file has no unit column: the article keeps the unit of the slot it replaces.
        r.unit = ArticleRecord::used(previous) ? ArticleRecord::decode(previous).unit : 0;
        return r.encode();
    }
    case Table::Packaging: {
        PackagingRecord r;
        r.number = number;
        r.name = in.textField(1);
        r.price = in.amount(2);
        r.priceChange = in.flag(3);
        return r.encode();
    }
    case Table::Cashiers: {
        CashierRecord r;
        r.number = number;
        r.name = in.textField(1);
        r.password = in.password(2);
        for (int i = 0; i < CashierRecord::RightCount; ++i)
            r.rights[i] = in.flag(3 + i);
        return r.encode();
    }
    case Table::Groups: {
        GroupRecord r;
        r.number = number;
        r.name = in.textField(1);
        return r.encode();
    }
    case Table::Discounts: {
        DiscountRecord r;
        r.number = number;
        r.name = in.textField(1);
        r.kind = int(in.integer(2, 0, 1));
        r.type = int(in.integer(3, 0, 1));
        r.value = r.type == DiscountRecord::Percentage ? in.amount(4, 9999) : in.amount(4);
        return r.encode();
    }
    case Table::PaymentForms: {
        PaymentFormRecord r;
        r.number = number;
        r.name = in.textField(1);
        r.type = int(in.integer(2, 1, 5));
        return r.encode();
    }
    case Table::Currencies: {
        CurrencyRecord r;
        r.number = number;
        r.name = in.textField(1);
        const RateParts rate = in.rate(2);
        r.mantissa = rate.mantissa;
        r.decimals = rate.decimals;
        r.symbol = in.textField(3);
        return r.encode();
    }
    }
    return {};
}

bool blank(const Row& row)
{
    for (const QString& f : row.fields)
        if (!f.trimmed().isEmpty())
            return false;
    return true;
}

QString titleNames()
{
    QStringList names;
    for (const TableInfo& t : tables())
        names.append(t.title);
    return names.join(QStringLiteral(", "));
}

} // namespace

QString unknownKindMessage(const QString& title)
{
    return QStringLiteral("Nie rozpoznano rodzaju pliku: pierwszy wiersz („") +
           shown(title.left(42)) + QStringLiteral("”) nie jest nazwą żadnej z baz (") +
           titleNames() + QStringLiteral(").") + NothingImported;
}

QString importSummary(const TableInfo& table, const ImportPlan& plan)
{
    QString text = QStringLiteral("Baza „") + table.title +
                   QStringLiteral("”: zapisano rekordów: ") + QString::number(plan.written) +
                   QStringLiteral(", pominięto wierszy: ") + QString::number(plan.skipped) + u'.';
    if (!plan.skippedLines.isEmpty())
        text += QStringLiteral("\nPominięte wiersze:\n") + plan.skippedLines.join(u'\n');
    if (!plan.warnings.isEmpty())
        text += QStringLiteral("\nOstrzeżenia (rekordy zapisano):\n") + plan.warnings.join(u'\n');
    return text;
}

ImportPlan planImport(QByteArrayView file,
                      const std::function<QByteArray(const TableInfo&)>& currentTable,
                      Encoding encoding)
{
    ImportPlan plan;
    const DecodedFile decoded = decodeFile(file, encoding);
    plan.utf8 = decoded.utf8;
    if (!decoded.error.isEmpty()) {
        plan.error = decoded.error + NothingImported;
        return plan;
    }
    const Rows parsed = splitRows(decoded.text);
    if (parsed.badQuoteLine > 0) {
        plan.error = QStringLiteral("Błąd w wierszu %1: pole otwarte cudzysłowem nie zostało "
                                    "nim zamknięte.")
                         .arg(parsed.badQuoteLine) +
                     NothingImported;
        return plan;
    }
    const QString title = parsed.rows.empty() ? QString() : parsed.rows.front().fields.value(0);
    plan.table = fromTitle(title);
    if (!plan.table) {
        plan.error = unknownKindMessage(title);
        return plan;
    }
    const TableInfo& t = info(*plan.table);
    const QStringList columns = t.columns.split(u';');
    plan.tableBytes = currentTable(t);
    plan.tableBytes.resize(t.bytes(), '\0');
    const QByteArray before = plan.tableBytes;

    // Line 1 is the title, line 2 the column names; the records follow.
    for (size_t i = 2; i < parsed.rows.size(); ++i) {
        const Row& row = parsed.rows[i];
        if (blank(row))
            continue;
        LineReader in(row, columns);
        const auto number = input::integer(row.fields.value(0));
        if (!number) {
            in.fail(0, QStringLiteral("numeru rekordu (liczby całkowitej)"));
            plan.error = in.error();
            return plan;
        }
        if (*number < 1 || *number > t.lastNumber) {
            ++plan.skipped;
            plan.skippedLines.append(QStringLiteral("wiersz %1: numer %2 spoza zakresu 1-%3")
                                         .arg(row.line)
                                         .arg(*number)
                                         .arg(t.lastNumber));
            continue;
        }
        const int n = int(*number);
        const qsizetype at = qsizetype(n - 1) * t.layout.recordSize;
        const QByteArray rec =
            buildRecord(*plan.table, n, in, QByteArrayView(before).sliced(at, t.layout.recordSize));
        if (!in.error().isEmpty()) {
            plan.error = in.error();
            return plan;
        }
        plan.tableBytes.replace(at, t.layout.recordSize, rec);
        ++plan.written;
        const QString line = QStringLiteral("wiersz %1: ").arg(row.line);
        if (*plan.table == Table::Articles) {
            for (const QString& w : articlewarnings::warnings(n, in.text(1), in.barcode(4)))
                plan.warnings.append(line + w);
        } else if (const QString bad = articlewarnings::unprintableCharacters(in.text(1));
                   !bad.isEmpty()) {
            plan.warnings.append(line + QStringLiteral("rekord ") + QString::number(n) +
                                 QStringLiteral(": nazwa zawiera znaki, których kasa nie "
                                                "wydrukuje: ") +
                                 bad);
        }
    }
    return plan;
}

ImportOutcome importBytes(DatabaseSession& session, QByteArrayView file, TransferUi& ui,
                          Encoding encoding)
{
    ImportOutcome outcome;
    if (!session.isLoaded()) {
        ui.showMessage(FileClosed, TransferUi::Icon::Error);
        return outcome;
    }
    RegisterDatabase& db = session.database();
    const ImportPlan plan = planImport(
        file, [&db](const TableInfo& t) { return db.readBytes(t.layout.base, t.bytes()); },
        encoding);
    outcome.table = plan.table;
    if (!plan.ok()) {
        ui.showMessage(plan.error, TransferUi::Icon::Warning);
        return outcome;
    }
    const TableInfo& t = info(*plan.table);
    if (!db.writeRecord(t.layout.base, plan.tableBytes)) {
        ui.showMessage(WriteError, TransferUi::Icon::Error);
        return outcome;
    }
    outcome.ok = true;
    outcome.written = plan.written;
    outcome.skipped = plan.skipped;
    outcome.label = t.importedMessage;
    outcome.summary = importSummary(t, plan);
    return outcome;
}

ImportOutcome importFromFile(DatabaseSession& session, const QString& path, TransferUi& ui,
                             Encoding encoding)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui.showMessage(QStringLiteral("Nie można otworzyć pliku ") + QDir::toNativeSeparators(path),
                       TransferUi::Icon::Error);
        return {};
    }
    const QByteArray bytes = file.readAll();
    return importBytes(session, bytes, ui, encoding);
}

} // namespace csv
