// vduno labels FILE.vkf --numbers LIST --pdf OUT.pdf [--height MM]
#include "command.h"
#include "printing/labels.h"
#include "tables/tablelayout.h"

#include <QFile>

namespace {

// "1,3,10-12" -> 1 3 10 11 12. False on a malformed list or a number outside 1..2000.
bool parseNumbers(const QString& text, QList<int>& out)
{
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList range = part.split(QLatin1Char('-'));
        bool ok1 = false, ok2 = false;
        const int from = range.value(0).trimmed().toInt(&ok1);
        const int to = range.size() == 2 ? range[1].trimmed().toInt(&ok2) : from;
        if (!ok1 || (range.size() == 2 && !ok2) || range.size() > 2 || from < 1 ||
            to > labels::ArticleCount || from > to)
            return false;
        for (int n = from; n <= to; ++n)
            out.append(n);
    }
    return !out.isEmpty();
}

int runLabels(const CliArgs& parsed, CliContext& context)
{
    const QStringList& args = parsed.positional;
    const QString numbers = parsed.value(QStringLiteral("numbers"));
    const QString pdf = parsed.value(QStringLiteral("pdf"));
    const QString height = parsed.value(QStringLiteral("height"));
    if (args.size() != 1 || numbers.isNull() || pdf.isEmpty())
        return cli::usage(context, args.size() == 1 ? QStringLiteral("Podaj --numbers i --pdf.")
                                                    : QString());
    labels::Settings settings;
    if (!height.isNull()) {
        bool ok = false;
        settings.barHeightMm = height.toInt(&ok);
        if (!ok || settings.barHeightMm < labels::MinBarHeightMm ||
            settings.barHeightMm > labels::MaxBarHeightMm) {
            cli::err(QStringLiteral("Wysokość kodu musi być liczbą z przedziału 5-70 mm."));
            return ExitUsage;
        }
    }
    QList<int> wanted;
    if (!parseNumbers(numbers, wanted)) {
        cli::err(QStringLiteral("Błędna lista numerów towarów (np. 1,5,10-20, numery 1-2000)."));
        return ExitUsage;
    }
    QFile file(args.first());
    if (!file.open(QIODevice::ReadOnly)) {
        cli::err(QStringLiteral("Nie można otworzyć pliku ") + args.first());
        return ExitFailure;
    }
    const QByteArray db = file.readAll();
    if (!db.startsWith("VORN_DUNO_V_2_00") ||
        db.size() < layout::Articles.base + layout::Articles.bytes()) {
        cli::err(QStringLiteral("Plik nie jest bazą danych kasy w bieżącym formacie: ") +
                 args.first());
        return ExitFailure;
    }
    const std::vector<labels::LabelArticle> articles = labels::articlesFromTable(
        QByteArrayView(db).sliced(layout::Articles.base, layout::Articles.bytes()));
    // Labels follow the list order (slot order), as the checked lines of the form do.
    std::vector<labels::Label> chosen;
    for (const labels::LabelArticle& a : articles)
        if (wanted.contains(a.number))
            chosen.push_back({a.barcode, a.name});
    if (chosen.empty()) {
        cli::err(labels::NothingCheckedMessage);
        return ExitFailure;
    }
    int pages = 0;
    const QString error = labels::writePdf(pdf, chosen, settings, &pages);
    if (!error.isEmpty()) {
        cli::err(error);
        return ExitFailure;
    }
    cli::out(QStringLiteral("Etykiety: %1, strony: %2, plik: %3")
                 .arg(chosen.size())
                 .arg(pages)
                 .arg(pdf));
    cli::jsonField(QStringLiteral("labels"), int(chosen.size()));
    cli::jsonField(QStringLiteral("pages"), pages);
    cli::jsonField(QStringLiteral("file"), pdf);
    return ExitOk;
}

} // namespace

VDUNO_COMMAND(labels, {"labels",
                       CommandGroup::Files,
                       "PLIK.vkf --numbers LISTA --pdf WYJŚCIE.pdf [--height MM]",
                       "etykiety z kodami kreskowymi towarów do PDF",
                       {{"numbers", "LISTA", "numery towarów, np. 1,5,10-20 (wymagane)"},
                        {"pdf", "WYJŚCIE.pdf", "plik PDF do zapisania (wymagane)"},
                        {"height", "MM", "wysokość kodu 5-70 mm"}},
                       {"labels sklep.vkf --numbers 1-40 --pdf etykiety.pdf"},
                       runLabels})
