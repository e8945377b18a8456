// Report orders (the letter codes, and code 5 for the group turnover report) and clearing
// the article sales (0xCB).
#include "registermodel.h"

#include "registermodel_p.h"

namespace emu {

QList<Reply> RegisterModel::reportOrder(const Request&)
{
    ++m_reportsPrinted;
    // The register confirms that it took the order, prints, then confirms completion.
    return {Reply{statusFrame(m_address, kStatusInProgress), m_recordDelayMs},
            Reply{ackFrame(m_address, 0), 300}};
}

QList<Reply> RegisterModel::groupTurnoverReport(const Request& r)
{
    // 0 start month, 1-2 start year, 3 end month, 4-5 end year.
    if (r.data[0] < 1 || r.data[0] > 12 || r.data[3] < 1 || r.data[3] > 12)
        return error(ErrMonth);
    return reportOrder(r);
}

QList<Reply> RegisterModel::clearSales(const Request& r)
{
    // The quantity and value sold (image bytes 49-56) of every article go back to zero.
    for (QByteArray& img : m_tables[Articles])
        img.replace(49, 8, QByteArray(8, '\0'));
    return ack(r.seq);
}

} // namespace emu
