#include "tabletarget.h"

#include <QStringList>

#include <algorithm>

namespace {
std::vector<TableTarget>& registry()
{
    static std::vector<TableTarget> targets;
    return targets;
}
} // namespace

bool TableTargets::add(const TableTarget& target)
{
    registry().push_back(target);
    std::sort(registry().begin(), registry().end(), [](const TableTarget& a, const TableTarget& b) {
        return qstrcmp(a.name, b.name) < 0;
    });
    return true;
}

const std::vector<TableTarget>& TableTargets::all()
{
    return registry();
}

const TableTarget* TableTargets::find(const QString& name)
{
    for (const TableTarget& t : registry())
        if (name == QLatin1String(t.name))
            return &t;
    return nullptr;
}

namespace cli {

bool parseNumbers(const QString& text, int max, std::vector<int>& numbers, QString* error)
{
    auto fail = [&](const QString& part) {
        if (error)
            *error = QStringLiteral("Błędny numer lub zakres numerów: \"%1\" (dozwolone 1..%2).")
                         .arg(part)
                         .arg(max);
        return false;
    };
    numbers.clear();
    const QStringList parts = text.split(u',', Qt::KeepEmptyParts);
    for (const QString& raw : parts) {
        const QString part = raw.trimmed();
        const qsizetype dash = part.indexOf(u'-');
        bool okFirst = false;
        bool okLast = false;
        int first = 0;
        int last = 0;
        if (dash < 0) {
            first = last = part.toInt(&okFirst);
            okLast = okFirst;
        } else {
            first = part.left(dash).trimmed().toInt(&okFirst);
            last = part.mid(dash + 1).trimmed().toInt(&okLast);
        }
        if (!okFirst || !okLast || first < 1 || last > max || first > last)
            return fail(part);
        for (int n = first; n <= last; ++n)
            numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return true;
}

} // namespace cli
