#pragma once

#include "common/transferui.h"
#include "reports/reportorder.h"

#include <QByteArray>

namespace reports {

// The three link operations a report order needs. The program passes its serial link, the
// tests a scripted register. Each operation shows its own failure messages on `ui`.
class ReportLink {
public:
    virtual ~ReportLink() = default;
    // Reads and discards unread input; false (message shown) when the line keeps talking.
    virtual bool drainInput(TransferUi& ui) = 0;
    // Sends the whole frame; false (message shown) when it could not go out.
    virtual bool send(const QByteArray& frame, TransferUi& ui) = 0;
    // The register's answer to a print order: result code 0-8 as the link defines it
    // (0 and 3 accepted). Shows the paper-out question and device errors itself.
    virtual int reportConfirmationWait(TransferUi& ui) = 0;
};

enum class RunResult {
    Refused, // a parameter check failed; its message was shown, nothing was sent
    NotSent, // the send failed (the link showed why)
    Sent,    // sent; for the waiting kinds the confirmation wait has run
};

struct RunOutcome {
    RunResult result = RunResult::Refused;
    int confirmation = -1; // the report confirmation wait's result, -1 when not waited
};

// "Wykonaj": drain (where the kind says), check, send, wait (where the kind says).
RunOutcome runReport(Kind kind, const ReportParams& params, uint8_t address, ReportLink& link,
                     TransferUi& ui);

} // namespace reports

class Link;

namespace reports {

// The program's serial link as a ReportLink.
class SerialReportLink : public ReportLink {
public:
    explicit SerialReportLink(Link& link) : m_link(link) {}
    bool drainInput(TransferUi& ui) override;
    bool send(const QByteArray& frame, TransferUi& ui) override;
    int reportConfirmationWait(TransferUi& ui) override;

private:
    Link& m_link;
};

} // namespace reports
