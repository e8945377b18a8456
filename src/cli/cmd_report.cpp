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

void printUsage(void (*print)(const QString&))
{
    print(QStringLiteral("Użycie: vduno report RODZAJ [opcje] [--frame]"));
    print(QStringLiteral("  periodic [--month MM-RRRR | --month RRRR-MM | --from RRRR-MM-DD --to "
                         "RRRR-MM-DD | --numbers A-B] [--short]"));
    print(QStringLiteral("  sales [--group G | --plu A-B] [--zeroing] [--zero-records]"));
    print(QStringLiteral("  base-vat | full-base [--group G | --plu A-B] [--zero-records]"));
    print(QStringLiteral("  cashier N [--zeroing] [--full]"));
    print(QStringLiteral("  shift | discounts | packaging | payment-forms | groups "
                         "[--zeroing] [--zero-records]"));
    print(QStringLiteral("  inactive | fixed-texts | vat-rates | register-state | quick-keys"));
    print(QStringLiteral("  turnover --from RRRR-MM --to RRRR-MM [--zero-records]"));
    print(QStringLiteral("  --frame  tylko wypisuje ramkę rozkazu (szesnastkowo), nic nie wysyła"));
    print(QStringLiteral("Rodzaje:"));
    for (const KindInfo& k : allKinds())
        print(QStringLiteral("  %1  %2")
                  .arg(QLatin1String(k.cliName), -15)
                  .arg(QString::fromUtf16(k.title)));
}

int usageError(const QString& message)
{
    cli::err(message);
    printUsage(cli::err);
    return ExitUsage;
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

int runReportCommand(const QStringList& argsIn, CliContext& context)
{
    QStringList args = argsIn;
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h")) {
        printUsage(cli::out);
        return args.isEmpty() ? ExitUsage : ExitOk;
    }
    const KindInfo* kind = findByCliName(args.takeFirst());
    if (!kind)
        return usageError(QStringLiteral("Nieznany rodzaj raportu."));

    ReportParams p;
    bool missing = false;
    const bool frameOnly = cli::takeFlag(args, QStringLiteral("--frame"));
    p.zeroing = cli::takeFlag(args, QStringLiteral("--zeroing"));
    p.zeroRecords = cli::takeFlag(args, QStringLiteral("--zero-records"));

    switch (kind->layout) {
    case Layout::Periodic: {
        p.fullReport = !cli::takeFlag(args, QStringLiteral("--short"));
        const QString month = cli::takeOption(args, QStringLiteral("--month"), &missing);
        const QString from = cli::takeOption(args, QStringLiteral("--from"), &missing);
        const QString to = cli::takeOption(args, QStringLiteral("--to"), &missing);
        const QString numbers = cli::takeOption(args, QStringLiteral("--numbers"), &missing);
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
        const QString group = cli::takeOption(args, QStringLiteral("--group"), &missing);
        const QString plu = cli::takeOption(args, QStringLiteral("--plu"), &missing);
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
        p.fullReport = cli::takeFlag(args, QStringLiteral("--full"));
        if (args.isEmpty())
            return usageError(QStringLiteral("Podaj numer kasjera (1-10)."));
        bool ok = false;
        p.cashier = args.takeFirst().toInt(&ok);
        if (!ok)
            p.cashier = 0;
        break;
    }
    case Layout::Turnover: {
        const QString from = cli::takeOption(args, QStringLiteral("--from"), &missing);
        const QString to = cli::takeOption(args, QStringLiteral("--to"), &missing);
        if (from.isNull() || to.isNull() || !yearMonth(from, p.startYear, p.startMonth) ||
            !yearMonth(to, p.endYear, p.endMonth))
            return usageError(QStringLiteral("Podaj --from RRRR-MM i --to RRRR-MM."));
        break;
    }
    case Layout::TwoOptions:
    case Layout::Plain:
        break;
    }
    if (missing)
        return usageError(QStringLiteral("Brak wartości opcji."));
    if (!args.isEmpty())
        return usageError(QStringLiteral("Nieznana opcja: ") + args.first());

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

    Link& link = Link::instance();
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
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(report, "report RODZAJ [opcje]: wydruk raportu na kasie (report --help)",
              runReportCommand)
