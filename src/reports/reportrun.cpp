#include "reports/reportrun.h"

namespace reports {

RunOutcome runReport(Kind kind, const ReportParams& params, uint8_t address, ReportLink& link,
                     TransferUi& ui)
{
    const KindInfo& k = info(kind);
    // The range reports and the turnover report clear the line first; a line that keeps
    // talking has been reported by the drain, and the order still goes out as the user asked.
    if (k.drainAndWait || k.layout == Layout::Turnover)
        link.drainInput(ui);

    const ReportOrder order = buildOrder(kind, params, address);
    if (!order.ok()) {
        ui.showMessage(order.error, TransferUi::Icon::Warning);
        return {RunResult::Refused, -1};
    }
    if (!link.send(order.frame, ui))
        return {RunResult::NotSent, -1};
    if (!k.drainAndWait)
        return {RunResult::Sent, -1};
    // The wait shows its own messages (paper out, device error); the form adds nothing.
    return {RunResult::Sent, link.reportConfirmationWait(ui)};
}

} // namespace reports

#include "link/answers.h"
#include "link/commands.h"

namespace reports {

bool SerialReportLink::drainInput(TransferUi& ui)
{
    return m_link.drainInput(ui) == 0;
}

bool SerialReportLink::send(const QByteArray& frame, TransferUi& ui)
{
    return commands::send(m_link, ui, frame) == 0;
}

int SerialReportLink::reportConfirmationWait(TransferUi& ui)
{
    return answers::reportConfirmationWait(m_link, ui);
}

} // namespace reports
