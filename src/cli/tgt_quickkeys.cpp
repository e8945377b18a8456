// vduno send FILE.vkf quickkeys [--numbers CASHIERS]: the quick keys of the listed cashiers
// (all cashiers with a programmed key when no list is given), ten keys each.
#include "command.h"
#include "tabletarget.h"

#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "link/link.h"
#include "tables/quickkeys.h"

namespace {

int sendQuickKeys(DatabaseSession& db, const std::vector<int>& numbers, CliContext&, Link& link,
                  TransferUi& ui)
{
    std::vector<int> cashiers;
    if (numbers.empty()) {
        for (int c = 1; c <= 10; ++c)
            for (int k = 1; k <= 10; ++k)
                if (quickkeys::load(db.database(), c, k).cashier != 0) {
                    cashiers.push_back(c);
                    break;
                }
    } else {
        for (int n : numbers)
            if (n >= 1 && n <= 10)
                cashiers.push_back(n);
    }
    if (cashiers.empty()) {
        cli::out(QStringLiteral("Brak zaprogramowanych klawiszy szybkich"));
        return ExitOk;
    }
    bool allAccepted = true;
    for (int c : cashiers) {
        const int accepted = quickkeys::sendAllKeys(link, ui, db.database(), c);
        cli::out(QStringLiteral("Kasjer ") + QString::number(c) +
                 QStringLiteral(": przyjęte klawisze ") + QString::number(accepted) +
                 QStringLiteral("/10"));
        allAccepted = allAccepted && accepted == 10;
        if (accepted == 0)
            break; // the register does not take them: no use going on
    }
    return allAccepted ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_TABLE_TARGET(quickkeys, "klawisze szybkie (numery = kasjerzy)", sendQuickKeys, nullptr)
