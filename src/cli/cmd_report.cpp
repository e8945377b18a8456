#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/answers.h"
#include "link/link.h"
#include "reports/reportrun.h"

#include <QDate>
#include <QRegularExpression>

// vduno report KIND [options]: orders the register to print one of its reports, with the
// same checks and messages as the report forms.
namespace {

using namespace reports;

QStringList details()
{
    QStringList lines{
        QStringLiteral("  periodic [--month MM-RRRR | --month RRRR-MM | --from RRRR-MM-DD --to "
                       "RRRR-MM-DD | --numbers A-B] [--short]"),
        QStringLiteral("  sales [--group G | --plu A-B] [--zeroing] [--zero-records]"),
        QStringLiteral("  base-vat | full-base [--group G | --plu A-B] [--zero-records]"),
        QStringLiteral("  cashier N [--zeroing] [--full]"),
        QStringLiteral("  shift | discounts | packaging | payment-forms | groups "
                       "[--zeroing] [--zero-records]"),
        QStringLiteral("  inactive | fixed-texts | vat-rates | register-state | quick-keys"),
        QStringLiteral("  turnover --from RRRR-MM --to RRRR-MM [--zero-records]"),
        QStringLiteral("Rodzaje:")};
    for (const KindInfo& k : allKinds())
        lines << QStringLiteral("  %1  %2")
                     .arg(QLatin1String(k.cliName), -15)
                     .arg(QString::fromUtf16(k.title));
    return lines;
}

QStringList words()
{
    QStringList names;
    for (const KindInfo& k : allKinds())
        names << QLatin1String(k.cliName);
    return names;
}

// "A-B" into two typed numbers, kept as text so the checks give their own messages.
bool splitRange(const QString& text, QString& first, QString& last)
{
    const qsizetype dash = text.indexOf(u'-', 1);
    if (dash < 0)
        return false;
    first = text.left(dash);
    last = text.mid(dash + 1);
    return true;
}

// "RRRR-MM" -> year text and month 1..12.
bool yearMonth(const QString& text, QString& year, int& month)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{4})-(\\d{1,2})$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    year = m.captured(1);
    month = m.captured(2).toInt();
    return month >= 1 && month <= 12;
}

int runReportCommand(const CliArgs& parsed, CliContext& context)
{
    QStringList args = parsed.positional;
    auto usageError = [&context](const QString& message) { return cli::usage(context, message); };
    if (args.isEmpty())
        return cli::usage(context);
    const KindInfo* kind = findByCliName(args.takeFirst());
    if (!kind)
        return usageError(QStringLiteral("Nieznany rodzaj raportu."));

    ReportParams p;
    auto option = [&parsed](const char* name) { return parsed.value(QString::fromUtf8(name)); };
    auto flag = [&parsed](const char* name) { return parsed.isSet(QString::fromUtf8(name)); };
    // What a kind of report does not take is refused, as a typo would be.
    QStringList taken{QStringLiteral("frame"), QStringLiteral("zeroing"),
                      QStringLiteral("zero-records")};
    const bool frameOnly = flag("frame");
    p.zeroing = flag("zeroing");
    p.zeroRecords = flag("zero-records");

    switch (kind->layout) {
    case Layout::Periodic: {
        taken << QStringLiteral("short") << QStringLiteral("month") << QStringLiteral("from")
              << QStringLiteral("to") << QStringLiteral("numbers");
        p.fullReport = !flag("short");
        const QString month = option("month");
        const QString from = option("from");
        const QString to = option("to");
        const QString numbers = option("numbers");
        if (!numbers.isNull()) {
            p.variant = PeriodicVariant::Numbers;
            if (!splitRange(numbers, p.firstReport, p.lastReport))
                p.firstReport = numbers; // the end number is then missing
        } else if (!from.isNull() || !to.isNull()) {
            p.variant = PeriodicVariant::Period;
            p.from = QDate::fromString(from, Qt::ISODate);
            p.to = QDate::fromString(to, Qt::ISODate);
            if (!p.from.isValid() || !p.to.isValid())
                return usageError(QStringLiteral("Błędna data"));
        } else {
            p.variant = PeriodicVariant::Monthly;
            QString year;
            int m = 0;
            if (month.isNull())
                p.monthText = defaultMonthText(QDate::currentDate());
            else if (yearMonth(month, year, m))
                p.monthText = QStringLiteral("%1-%2").arg(m, 2, 10, QLatin1Char('0')).arg(year);
            else
                p.monthText = month; // "mm-rrrr" as in the form's edit
        }
        break;
    }
    case Layout::SalesScope:
    case Layout::Scope: {
        taken << QStringLiteral("group") << QStringLiteral("plu");
        const QString group = option("group");
        const QString plu = option("plu");
        if (!group.isNull()) {
            p.scope = Scope::Group;
            bool ok = false;
            p.group = group.toInt(&ok);
            if (!ok)
                p.group = 0;
        } else if (!plu.isNull()) {
            p.scope = Scope::Articles;
            if (!splitRange(plu, p.firstArticle, p.lastArticle))
                p.firstArticle = plu;
        }
        break;
    }
    case Layout::Cashier: {
        taken << QStringLiteral("full");
        p.fullReport = flag("full");
        if (args.isEmpty())
            return usageError(QStringLiteral("Podaj numer kasjera (1-10)."));
        bool ok = false;
        p.cashier = args.takeFirst().toInt(&ok);
        if (!ok)
            p.cashier = 0;
        break;
    }
    case Layout::Turnover: {
        taken << QStringLiteral("from") << QStringLiteral("to");
        const QString from = option("from");
        const QString to = option("to");
        if (from.isNull() || to.isNull() || !yearMonth(from, p.startYear, p.startMonth) ||
            !yearMonth(to, p.endYear, p.endMonth))
            return usageError(QStringLiteral("Podaj --from RRRR-MM i --to RRRR-MM."));
        break;
    }
    case Layout::TwoOptions:
    case Layout::Plain:
        break;
    }
    if (!args.isEmpty())
        return usageError(QStringLiteral("Nadmiarowy argument: ") + args.first());
    for (const CliOption& o : context.command->options) {
        const QString name = QString::fromUtf8(o.names);
        if (parsed.isSet(name) && !taken.contains(name))
            return usageError(QStringLiteral("Raport ") + QLatin1String(kind->cliName) +
                              QStringLiteral(" nie przyjmuje opcji --") + name + u'.');
    }

    // The checks come before the port is opened: a refused order touches no line.
    const ReportOrder order = buildOrder(kind->kind, p, quint8(context.address));
    if (!order.ok()) {
        cli::err(order.error);
        return ExitFailure;
    }
    if (frameOnly) {
        cli::out(QString::fromLatin1(order.frame.toHex(' ')));
        return ExitOk;
    }

    Link& link = cli::commandLink(context);
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    SerialReportLink serial(link);
    const RunOutcome r = runReport(kind->kind, p, link.address, serial, ui);
    link.closePort();
    if (r.result == RunResult::Refused)
        return ExitFailure;
    if (r.result == RunResult::NotSent)
        return ExitFailure;
    if (r.confirmation >= 0 && !answers::confirmed(r.confirmation))
        return ExitFailure;
    cli::out(QStringLiteral("Wysłano: ") + QString::fromUtf16(kind->title));
    cli::jsonField(QStringLiteral("report"), QLatin1String(kind->cliName));
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(report,
              {"report",
               CommandGroup::Reports,
               "RODZAJ [N]",
               "wydruk raportu na kasie",
               {{"month", "MIESIĄC", "periodic: miesiąc MM-RRRR albo RRRR-MM"},
                {"from", "OD", "periodic: od RRRR-MM-DD; turnover: od RRRR-MM"},
                {"to", "DO", "periodic: do RRRR-MM-DD; turnover: do RRRR-MM"},
                {"numbers", "A-B", "periodic: według numerów raportów"},
                {"short", nullptr, "periodic: raport skrócony"},
                {"group", "G", "tylko grupa towarowa G"},
                {"plu", "A-B", "tylko towary o numerach A-B"},
                {"zeroing", nullptr, "raport zerujący"},
                {"zero-records", nullptr, "także rekordy zerowe"},
                {"full", nullptr, "cashier: raport pełny"},
                {"frame", nullptr, "tylko wypisuje ramkę rozkazu (szesnastkowo), nic nie wysyła"}},
               {"--device /dev/ttyUSB0 report periodic --month 2026-11",
                "--device /dev/ttyUSB0 report cashier 3 --zeroing", "report shift --frame"},
               runReportCommand,
               details,
               words})
