#include "tablesync.h"

#include "common/transferrun.h"

#include "common/cp1250.h"
#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/link.h"

namespace basesync {

TableSync::TableSync(const TableMember& member)
    : m_member(member), m_images(member.registerLines, QByteArray(member.imageSize, '\0'))
{
}

void TableSync::setImage(int n, const QByteArray& image)
{
    if (n < 1 || n > m_images.size())
        return;
    QByteArray img = image.left(m_member.imageSize);
    img.append(QByteArray(m_member.imageSize - img.size(), '\0'));
    m_images[n - 1] = img;
}

void TableSync::clear()
{
    for (QByteArray& image : m_images)
        image.fill('\0');
    m_origin = {};
}

QList<int> TableSync::registerNumbers() const
{
    QList<int> numbers;
    for (int n = 1; n <= m_images.size(); ++n)
        if (m_images[n - 1][0] != 0)
            numbers.append(n);
    return numbers;
}

QStringList TableSync::registerLines() const
{
    QStringList lines;
    for (int n : registerNumbers())
        lines.append(registerLine(m_images[n - 1]));
    return lines;
}

QList<int> TableSync::pcNumbers(RegisterDatabase& db) const
{
    const QByteArray all =
        db.readBytes(m_member.pc.base, m_member.pc.recordSize * m_member.pcLines);
    QList<int> numbers;
    for (int n = 1; n <= m_member.pcLines; ++n)
        if (all[(n - 1) * m_member.pc.recordSize] != 0)
            numbers.append(n);
    return numbers;
}

QStringList TableSync::pcLines(RegisterDatabase& db) const
{
    QStringList lines;
    for (int n : pcNumbers(db))
        lines.append(pcLine(db.readBytes(m_member.pc.offsetOf(n), m_member.pc.recordSize)));
    return lines;
}

QString TableSync::registerLine(QByteArrayView image) const
{
    const int number = quint8(image[0]);
    const QString name =
        cp1250::readField(image.sliced(1, m_member.imageNameWidth)).left(m_member.listNameWidth);
    return QString(QString::number(number) + QStringLiteral(". ")).leftJustified(4, u' ') +
           name.leftJustified(m_member.listNameWidth, u' ') + m_member.columns(image);
}

QString TableSync::pcLine(QByteArrayView record) const
{
    return registerLine(m_member.imageOfRecord(record));
}

Details TableSync::registerDetails(int n) const
{
    if (n < 1 || n > m_images.size() || m_images[n - 1][0] == 0)
        return {};
    Details d = m_member.registerDetails(m_images[n - 1]);
    d.title = cp1250::readField(QByteArrayView(m_images[n - 1]).sliced(1, m_member.imageNameWidth));
    return d;
}

Details TableSync::pcDetails(RegisterDatabase& db, int n) const
{
    if (!m_member.pcDetails || n < 1 || n > m_member.pcLines)
        return {};
    return m_member.pcDetails(db.readBytes(m_member.pc.offsetOf(n), m_member.pc.recordSize));
}

ReadSpec TableSync::readSpec() const
{
    ReadSpec spec;
    spec.letter = m_member.letter;
    spec.answerLength = m_member.answerLength;
    spec.imageSize = m_member.imageSize;
    spec.storedSize = m_member.imageSize;
    spec.ackCheckError = true;
    return spec;
}

ReadOutcome TableSync::read(Link& link, TransferUi& caller)
{
    TransferRun ui(caller);
    link.stopRequest = false;
    m_origin = {};
    const ReadOutcome outcome = readRegisterBase(link, ui, readSpec(), m_images);
    m_origin = ReadOrigin::of(link);
    return outcome;
}

TableRunResult TableSync::program(Link& link, TransferUi& caller, RegisterDatabase& db,
                                  const QList<int>& lines, const QSet<int>& checked, quint8 confirm)
{
    TransferRun ui(caller);
    // A list read over another connection is no list of this register's.
    if (m_origin.read() && !m_origin.sameConnection(link))
        clear();
    TableRunResult result;
    link.drainInput(ui);
    for (int n : lines)
        if (checked.contains(n))
            ++result.total;
    if (result.total == 0)
        return result;
    ui.progress(0, result.total);
    QList<int> programmed;
    int sent = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const int n = lines[i];
        if (!checked.contains(n))
            continue;
        ++sent;
        ui.processEvents();
        // After a stop request the next frame is the run's last: it carries the end marker.
        const bool lastAfterStop = ui.stopRequested() && sent < result.total;
        // Numbered over the frames sent: the register takes only the next number of its run.
        const quint16 sequence =
            quint16(sent) | (sent == result.total || lastAfterStop ? frame::EndMarker : 0);
        const QByteArray record = db.readBytes(m_member.pc.offsetOf(n), m_member.pc.recordSize);
        int r = commands::sendRecord(link, ui,
                                     m_member.programFrame(link.address, sequence, record, confirm))
                    ? answers::confirmationWait(link, ui)
                    : answers::NoAnswer;
        if (r == answers::Busy) {
            ui.waitMs(m_member.programBusyWaitMs(sequence));
            r = answers::confirmationWait(link, ui);
        }
        if (r == answers::Accepted || r == answers::AcceptedEnd) {
            // Counted whether the register accepted at once or after reporting busy.
            ++result.done;
            ui.progress(result.done, result.total);
            programmed.append(n);
            if (r == answers::Accepted && !lastAfterStop)
                link.pauseBetweenFrames(ui, 50);
        } else if (r != answers::DeviceError) {
            result.broken = true;
            link.drainInput(ui);
            ui.showMessage(QStringLiteral("Wystąpił błąd transmisji. Zaprogramowano ") +
                               QString::number(result.done) + m_member.noun,
                           TransferUi::Icon::Error);
            return result;
        }
        if (lastAfterStop) {
            // The table is not read again after a stop: the buffer takes what was programmed.
            result.stopped = true;
            for (int p : programmed)
                putRecordIntoImage(p,
                                   db.readBytes(m_member.pc.offsetOf(p), m_member.pc.recordSize));
            ui.showMessage(stoppedSendText(result.done, result.total));
            return result;
        }
    }
    result.reread = true;
    const QString summary =
        QStringLiteral(" Zaprogramowano ") + QString::number(result.done) + m_member.noun;
    switch (m_member.runEnd) {
    case RunEnd::WaitReadMessage:
        link.pauseBetweenFrames(ui, m_member.settleMs);
        result.readAgain = read(link, ui);
        ui.showMessage(summary);
        break;
    case RunEnd::MessageWaitRead:
        ui.showMessage(summary);
        link.pauseBetweenFrames(ui, m_member.settleMs);
        result.readAgain = read(link, ui);
        break;
    case RunEnd::WaitMessageRead:
        link.pauseBetweenFrames(ui, m_member.settleMs);
        ui.showMessage(summary);
        result.readAgain = read(link, ui);
        break;
    }
    return result;
}

int TableSync::copyToPc(RegisterDatabase& db, const QSet<int>& checked) const
{
    int written = 0;
    for (int n : registerNumbers()) {
        if (!checked.contains(n) || n > m_member.pcLines)
            continue;
        if (db.writeRecord(m_member.pc.offsetOf(n), m_member.recordOfImage(m_images[n - 1])))
            ++written;
    }
    return written;
}

QList<int> TableSync::beyondPc(const QSet<int>& checked) const
{
    QList<int> beyond;
    for (int n : registerNumbers())
        if (checked.contains(n) && n > m_member.pcLines)
            beyond.append(n);
    return beyond;
}

void TableSync::putRecordIntoImage(int n, QByteArrayView record)
{
    if (n < 1 || n > m_images.size())
        return;
    // The bytes the register keeps from the record; its statistics stay as they were.
    const QByteArray image = m_member.imageOfRecord(record);
    for (const ByteMap& m : m_member.toPc)
        m_images[n - 1].replace(m.imageFrom, m.count, image.mid(m.imageFrom, m.count));
}

TableRunResult TableSync::deleteInRegister(Link& link, TransferUi& caller, const QList<int>& lines,
                                           const QSet<int>& checked, quint8 confirm)
{
    TransferRun ui(caller);
    // A list read over another connection is no list of this register's.
    if (m_origin.read() && !m_origin.sameConnection(link))
        clear();
    TableRunResult result;
    link.drainInput(ui);
    for (int n : lines)
        if (checked.contains(n))
            ++result.total;
    if (result.total == 0)
        return result;
    ui.progress(0, result.total);
    int sent = 0;
    for (int n : lines) {
        if (!checked.contains(n) || n < 1 || n > m_images.size())
            continue;
        ++sent;
        ui.processEvents();
        const bool lastAfterStop = ui.stopRequested() && sent < result.total;
        const quint16 sequence =
            quint16(sent) | (sent == result.total || lastAfterStop ? frame::EndMarker : 0);
        const QString name =
            cp1250::readField(QByteArrayView(m_images[n - 1]).sliced(1, m_member.imageNameWidth));
        commands::send(link, ui,
                       m_member.deleteFrame(link.address, sequence, quint8(n), name, confirm));
        int r = m_member.reportWaitOnDelete ? answers::reportConfirmationWait(link, ui)
                                            : answers::confirmationWait(link, ui);
        if (r == answers::Busy) {
            ui.waitMs((sequence & 0xFF) == 1 ? 800 : 250);
            r = answers::confirmationWait(link, ui);
        }
        if (r == answers::Accepted || r == answers::AcceptedEnd) {
            // Code 3 is the register's acceptance of the run's last frame: the record is
            // gone as well.
            ++result.done;
            ui.progress(result.done, result.total);
            m_images[n - 1].fill('\0');
            if (lastAfterStop)
                break;
            if (r == answers::Accepted) {
                link.pauseBetweenFrames(ui, 50);
                continue;
            }
            if (m_member.reportWaitOnDelete)
                break;
            continue;
        }
        if (r == answers::DeviceError && !m_member.reportWaitOnDelete) {
            if (m_member.deviceErrorOnDelete)
                answers::showDeviceError(ui, link.at(8));
            if (lastAfterStop)
                break;
            continue;
        }
        result.broken = true;
        break;
    }
    result.stopped = !result.broken && ui.stopRequested() && sent < result.total;
    return result;
}

} // namespace basesync
