// vduno send FILE.vkf header|footer: the receipt header or footer stored in the file.
#include "command.h"
#include "tabletarget.h"

#include "database/databasesession.h"
#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/link.h"
#include "tables/receipttext.h"
#include "tables/recordsend.h"

namespace {

QByteArray storedBlock(DatabaseSession& db, receipt::Kind kind)
{
    const TableLayout& l = receipt::blockLayout(kind);
    return db.database().readBytes(l.base, l.recordSize);
}

int sendHeader(DatabaseSession& db, const std::vector<int>&, CliContext&, Link& link,
               TransferUi& ui)
{
    const int r = receipt::sendHeader(link, ui, storedBlock(db, receipt::Kind::Header));
    if (!answers::confirmed(r)) {
        if (r == answers::NoAnswer)
            cli::err(QStringLiteral("Brak komunikacji."));
        return ExitFailure;
    }
    cli::out(QStringLiteral("Nagłówek zaprogramowany"));
    return ExitOk;
}

int sendFooter(DatabaseSession& db, const std::vector<int>&, CliContext& context, Link& link,
               TransferUi& ui)
{
    (void)context;
    const int r =
        receipt::sendFooter(link, ui, storedBlock(db, receipt::Kind::Footer), false, true);
    return recordsend::reportOutcome(ui, r, link.at(8), receipt::footerSendTexts()) ? ExitOk
                                                                                    : ExitFailure;
}

} // namespace

VDUNO_TABLE_TARGET(header, "nagłówek paragonu", sendHeader, nullptr)
VDUNO_TABLE_TARGET(footer, "stopka paragonu", sendFooter, nullptr)
