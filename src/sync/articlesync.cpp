#include "articlesync.h"

#include "common/transferrun.h"

#include "common/amount.h"
#include "common/cp1250.h"
#include "database/registerdatabase.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/link.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

namespace basesync {

namespace {

const TableLayout& table()
{
    return layout::Articles;
}

QByteArray pcRecord(RegisterDatabase& db, int n)
{
    return db.readBytes(table().offsetOf(n), ArticleRecord::Size);
}

bool imageUsed(QByteArrayView image)
{
    return image.size() >= 2 && (image[0] != 0 || image[1] != 0);
}

// The image as the register would hold it after accepting `record`: record bytes 0..48 at
// 0..48, 49..66 at 57..74, the unit 67 at 81; the sales figures and the last sale stay.
void recordIntoImage(QByteArray& image, QByteArrayView record)
{
    image.replace(0, 49, record.first(49).toByteArray());
    image.replace(57, 18, record.sliced(49, 18).toByteArray());
    image[81] = record[67];
}

QString line(const ArticleRecord& r, int nameWidth)
{
    QString name = r.name.left(nameWidth);
    return QString(QString::number(r.number) + QStringLiteral(". ")).leftJustified(6, u' ') +
           name.leftJustified(nameWidth, u' ') + u' ' +
           amount::text(r.price).rightJustified(10, u' ') + u' ' + QChar::fromLatin1(r.vat);
}

QString numberOrNone(int value)
{
    return value == 0 ? QStringLiteral("Brak") : QString::number(value);
}

Details recordDetails(const ArticleRecord& r)
{
    Details d;
    d.title = r.name;
    d.fields = {
        {QStringLiteral("PTU:"), QString(QChar::fromLatin1(r.vat))},
        {QStringLiteral("Numer grupy towarowej:"), QString::number(r.group)},
        {QStringLiteral("Kod:"), r.barcode},
        {QStringLiteral("Numer opakowania:"), numberOrNone(r.tandem)},
        {QStringLiteral("Cena stała:"), yesNo(r.fixedPrice)},
        {QStringLiteral("Sprzedaż na sztuki:"), yesNo(r.wholeQuantity)},
        {QStringLiteral("Indeks tablicy HALO"), numberOrNone(r.halo)},
        {QStringLiteral("Numer jednostki towarowej"), numberOrNone(r.unit)},
    };
    return d;
}

// The wait for the register to finish printing after a busy answer: `first` when the low
// byte of the sequence value is 1, `other` otherwise.
int busyWait(quint16 sequence, int first, int other)
{
    return (sequence & 0xFF) == 1 ? first : other;
}

void showPrinting(const RunPanel& panel, bool shown)
{
    if (panel.printing)
        panel.printing(shown);
}

QString programmedText(int count)
{
    return QStringLiteral("Zaprogramowano ") + QString::number(count) + QStringLiteral(" towarów.");
}

} // namespace

std::optional<NumberRange> numberRange(const QString& from, const QString& to, TransferUi& ui)
{
    NumberRange range;
    bool okFrom = true, okTo = true;
    if (!from.trimmed().isEmpty())
        range.from = from.trimmed().toInt(&okFrom);
    if (!to.trimmed().isEmpty())
        range.to = to.trimmed().toInt(&okTo);
    if (!okFrom || !okTo || range.to < range.from) {
        ui.showMessage(QStringLiteral("Błędnie wypełnione pola!"), TransferUi::Icon::Warning);
        return std::nullopt;
    }
    range.from = qMax(range.from, 1);
    range.to = qMin(range.to, ArticleSync::Count);
    return range;
}

bool unsoldForMoreThan(QByteArrayView image, int days, const QDate& today)
{
    int year = int(unsignedAt(image, 75, 2));
    int month = int(unsignedAt(image, 77, 1));
    int day = int(unsignedAt(image, 78, 1));
    year = qMax(year, 1980);
    month = month == 0 ? 1 : month;
    day = day == 0 ? 1 : day;
    const QDate last(year, month, day);
    if (!last.isValid())
        return true;
    const qint64 elapsed = qMax<qint64>(0, last.daysTo(today));
    return elapsed > days;
}

ArticleSync::ArticleSync() : m_images(Count, QByteArray(ImageSize, '\0'))
{
}

void ArticleSync::setImage(int n, const QByteArray& image)
{
    if (n < 1 || n > Count)
        return;
    QByteArray img = image.left(ImageSize);
    img.append(QByteArray(ImageSize - img.size(), '\0'));
    m_images[n - 1] = img;
}

void ArticleSync::clear()
{
    for (QByteArray& image : m_images)
        image.fill('\0');
    m_origin = {};
}

QList<int> ArticleSync::registerNumbers() const
{
    QList<int> numbers;
    for (int n = 1; n <= Count; ++n)
        if (imageUsed(m_images[n - 1]))
            numbers.append(n);
    return numbers;
}

QStringList ArticleSync::registerLines() const
{
    QStringList lines;
    for (int n : registerNumbers())
        lines.append(registerLine(m_images[n - 1]));
    return lines;
}

QList<int> ArticleSync::pcNumbers(RegisterDatabase& db)
{
    const QByteArray all = readTable(db, table());
    QList<int> numbers;
    for (int n = 1; n <= table().count; ++n)
        if (ArticleRecord::used(table().record(all, n)))
            numbers.append(n);
    return numbers;
}

QStringList ArticleSync::pcLines(RegisterDatabase& db)
{
    const QByteArray all = readTable(db, table());
    QStringList lines;
    for (int n = 1; n <= table().count; ++n) {
        const QByteArrayView record = table().record(all, n);
        if (ArticleRecord::used(record))
            lines.append(pcLine(ArticleRecord::decode(record)));
    }
    return lines;
}

QString ArticleSync::pcLine(const ArticleRecord& r)
{
    return line(r, 20);
}

QString ArticleSync::registerLine(QByteArrayView image)
{
    return line(ArticleRecord::decode(articleFromImage(image)), 22);
}

Details ArticleSync::pcDetails(QByteArrayView record)
{
    return recordDetails(ArticleRecord::decode(record));
}

Details ArticleSync::registerDetails(QByteArrayView image)
{
    Details d = recordDetails(ArticleRecord::decode(articleFromImage(image)));
    d.fields.append({QStringLiteral("Ilość sprzedanych sztuk:"),
                     QString::number(unsignedAt(image, 49, 4) / 10000)});
    d.fields.append(
        {QStringLiteral("Wartość sprzedaży:"), amount::text(qint64(unsignedAt(image, 53, 4)))});
    d.fields.append({QStringLiteral("Data ostatniej sprzedaży:"), timeStampText(image, 75, true)});
    return d;
}

ReadSpec ArticleSync::readSpec(int registerType)
{
    ReadSpec spec;
    spec.letter = 'T';
    spec.twoByteNumber = true;
    spec.storedSize = ImageSize;
    if (registerType == 1) {
        spec.answerLength = 90;
        spec.imageSize = 81;
        spec.pauseBeforeReadMs = 1;
    } else {
        spec.answerLength = 91;
        spec.imageSize = 82;
    }
    return spec;
}

ReadOutcome ArticleSync::read(Link& link, TransferUi& caller, int registerType)
{
    TransferRun ui(caller);
    link.stopRequest = false;
    m_origin = {};
    const ReadOutcome outcome = readRegisterBase(link, ui, readSpec(registerType), m_images);
    m_origin = ReadOrigin::of(link);
    return outcome;
}

ArticleRunResult ArticleSync::program(Link& link, TransferUi& caller, RegisterDatabase& db,
                                      const QList<int>& lines, const QSet<int>& checked,
                                      quint8 confirm, int registerType, const RunPanel& panel)
{
    TransferRun ui(caller);
    // A list read over another connection is no list of this register's.
    if (m_origin.read() && !m_origin.sameConnection(link))
        clear();
    ArticleRunResult result;
    link.stopRequest = false;
    link.drainInput(ui);
    for (int n : lines)
        if (checked.contains(n))
            ++result.total;
    if (result.total == 0)
        return result;
    ui.progress(0, result.total);
    QString failureText = QStringLiteral("Niezaprogramowane towary:");
    quint16 endMarker = 0;
    int sent = 0;
    for (int i = 0; i < lines.size(); ++i) {
        ui.processEvents();
        if (ui.stopRequested() || link.stopRequest) {
            link.stopRequest = true;
            endMarker = frame::EndMarker; // stays set for the rest of the run
        }
        const int n = lines[i];
        if (!checked.contains(n))
            continue;
        ++sent;
        // The frame with the stop's end marker is the run's last, whatever the answer.
        const bool lastAfterStop = endMarker != 0 && sent < result.total;
        // Numbered over the frames sent: the register takes only the next number of its run.
        const quint16 sequence =
            quint16(sent) | endMarker | (sent == result.total ? frame::EndMarker : 0);
        const QByteArray record = pcRecord(db, n);
        const bool sent =
            commands::sendRecord(link, ui,
                                 commands::articleRecord(link.address, sequence, record, confirm,
                                                         registerType == 1 ? 1 : 2));
        if (sent)
            link.pauseForAnswer(ui, 1000);
        // The failure text looks at what the last read brought, not at an older answer.
        link.clearReceiveArea();
        int r = sent ? answers::confirmationWait(link, ui) : answers::NoAnswer;
        if (r == answers::Busy) {
            showPrinting(panel, true);
            ui.waitMs(busyWait(sequence, 1500, 450));
            showPrinting(panel, false);
            link.clearReceiveArea();
            r = answers::confirmationWait(link, ui);
        }
        if (answers::confirmed(r)) {
            ++result.done;
            ui.progress(result.done, result.total);
            recordIntoImage(m_images[n - 1], record);
            link.pauseBetweenFrames(ui, 50);
            if (r == answers::AcceptedEnd || lastAfterStop) {
                result.stopped = lastAfterStop;
                break;
            }
            continue;
        }
        if (r == answers::DeviceError) {
            ++result.failed;
            failureText += u'\n' + QString::number(n) + u'.' + ArticleRecord::decode(record).name +
                           QStringLiteral(" - ") + answers::deviceErrorText(link.at(8));
            if (panel.failures)
                panel.failures(result.failed);
            if (lastAfterStop) {
                result.stopped = true;
                break;
            }
            continue;
        }
        result.broken = true;
        // Only the register's own whole answer means a refusal (sales not zero): half an
        // answer, or the paper-out status after which the user stopped, is a transmission
        // error.
        if (r == answers::UserStopped || link.at(0) != quint8(frame::Start) ||
            link.at(9) != quint8(frame::End))
            ui.showMessage(QStringLiteral("Wystąpił błąd transmisji. ") +
                               programmedText(result.done),
                           TransferUi::Icon::Error);
        else
            ui.showMessage(QStringLiteral("Wykonaj raport sprzedaży i raport dobowy! Niezerowa "
                                          "sprzedaż towaru. ") +
                               programmedText(result.done),
                           TransferUi::Icon::Error);
        link.drainInput(ui);
        link.stopRequest = false;
        return result;
    }
    link.stopRequest = false;
    // A register that ends the run early (code 3 before the last checked line) ends it as a
    // stop does.
    result.stopped = result.stopped || (result.done + result.failed < result.total);
    QString summary = result.stopped ? stoppedSendText(result.done, result.total)
                                     : u' ' + programmedText(result.done);
    if (result.failed > 0)
        summary += QStringLiteral(" Nie udało się zaprogramować ") +
                   QString::number(result.failed) + QStringLiteral(" towarów.");
    ui.showMessage(summary);
    if (result.failed > 0)
        ui.showMessage(failureText, TransferUi::Icon::Warning);
    return result;
}

int ArticleSync::copyToPc(RegisterDatabase& db, const QSet<int>& checked) const
{
    int written = 0;
    for (int n = 1; n <= Count; ++n) {
        if (!checked.contains(n) || !imageUsed(m_images[n - 1]))
            continue;
        if (db.writeRecord(table().offsetOf(n), articleFromImage(m_images[n - 1])))
            ++written;
    }
    return written;
}

int ArticleSync::deleteFromPc(RegisterDatabase& db, const QList<int>& lines,
                              const QSet<int>& checked)
{
    int cleared = 0;
    for (int i = lines.size() - 1; i >= 0; --i)
        if (checked.contains(lines[i]) && clearRecord(db, table(), lines[i]))
            ++cleared;
    return cleared;
}

ArticleRunResult ArticleSync::deleteInRegister(Link& link, TransferUi& caller,
                                               const QList<int>& lines, const QSet<int>& checked,
                                               quint8 confirm, const RunPanel& panel)
{
    TransferRun ui(caller);
    // A list read over another connection is no list of this register's.
    if (m_origin.read() && !m_origin.sameConnection(link))
        clear();
    ArticleRunResult result;
    link.stopRequest = false;
    link.drainInput(ui);
    for (int n : lines)
        if (checked.contains(n))
            ++result.total;
    if (result.total == 0)
        return result;
    ui.progress(0, result.total);
    quint16 endMarker = 0;
    int sent = 0;
    for (int n : lines) {
        ui.processEvents();
        if (ui.stopRequested() || link.stopRequest) {
            link.stopRequest = true;
            endMarker = frame::EndMarker;
        }
        if (!checked.contains(n))
            continue;
        ++sent;
        const bool lastAfterStop = endMarker != 0 && sent < result.total;
        const quint16 sequence =
            quint16(sent) | endMarker | (sent == result.total ? frame::EndMarker : 0);
        const QString name = cp1250::readField(QByteArrayView(m_images[n - 1]).sliced(2, 42));
        commands::send(link, ui,
                       commands::deleteArticle(link.address, sequence, quint16(n), name, confirm));
        int r = answers::confirmationWait(link, ui);
        if (r == answers::Busy) {
            showPrinting(panel, true);
            ui.waitMs(busyWait(sequence, 650, 250));
            showPrinting(panel, false);
            r = answers::confirmationWait(link, ui);
        }
        if (answers::confirmed(r)) {
            ++result.done;
            ui.progress(result.done, result.total);
            m_images[n - 1].fill('\0');
            link.pauseBetweenFrames(ui, 50);
            if (r == answers::AcceptedEnd || lastAfterStop)
                break;
            continue;
        }
        if (r == answers::DeviceError)
            answers::showDeviceError(ui, link.at(8));
        result.broken = true;
        break;
    }
    link.stopRequest = false;
    result.stopped = !result.broken && result.done < result.total;
    return result;
}

QSet<int> ArticleSync::unusedArticles(const QString& days, const QDate& today) const
{
    QSet<int> unused;
    bool ok = false;
    const int limit = days.trimmed().toInt(&ok);
    // A negative count of days is no count: it would mark articles sold today as unused.
    if (!ok || limit < 0)
        return unused;
    for (int n : registerNumbers())
        if (unsoldForMoreThan(m_images[n - 1], limit, today))
            unused.insert(n);
    return unused;
}

VerifyResult ArticleSync::verifyBarcodes(Link& link, TransferUi& caller, RegisterDatabase& db,
                                         int registerType)
{
    TransferRun ui(caller);
    VerifyResult result;
    // A base that did not arrive whole gives no verdict: "no errors" over part of the base
    // would pass the rest unseen.
    result.lastRead = read(link, ui, registerType);
    if (!result.lastRead.complete)
        return result;
    const QList<int> registerList = registerNumbers();
    result.compared = int(qMin(registerList.size(), pcNumbers(db).size()));
    QList<int> differing;
    for (int i = 0; i < result.compared; ++i) {
        const int n = registerList[i];
        const QByteArray record = pcRecord(db, n);
        // An article the PC does not hold has no record to send again.
        if (!ArticleRecord::used(record))
            continue;
        const QByteArray fromRegister = articleFromImage(m_images[n - 1]);
        if (record.mid(49, 13) != fromRegister.mid(49, 13))
            differing.append(n);
    }
    result.differing = int(differing.size());
    // The re-sends are one run numbered 1, 2, 3 ...; the end marker goes on the last one, or
    // on the one after a stop request, which then ends the run.
    for (int i = 0; i < differing.size(); ++i) {
        const int n = differing[i];
        ui.processEvents();
        result.stopped = ui.stopRequested() && i + 1 < differing.size();
        const quint16 sequence =
            quint16(i + 1) | (i + 1 == differing.size() || result.stopped ? frame::EndMarker : 0);
        if (!commands::sendRecord(link, ui,
                                  commands::articleRecord(link.address, sequence, pcRecord(db, n),
                                                          0, registerType == 1 ? 1 : 2))) {
            // The line failed: no verdict rests on the read before the re-sends.
            result.lastRead = {};
            return result;
        }
        int r = answers::confirmationWait(link, ui);
        if (r == answers::Busy) {
            ui.waitMs(busyWait(sequence, 1000, 450));
            r = answers::confirmationWait(link, ui);
        }
        ++result.resent;
        ui.progress(result.resent, result.differing);
        if (result.stopped)
            break;
    }
    if (result.stopped) {
        ui.showMessage(stoppedSendText(result.resent, result.differing));
    } else if (result.resent > 0) {
        ui.showMessage(QStringLiteral("Wykryto nieprawidłowości, zaprogramowano błędne towary, "
                                      "wykonaj weryfikację ponownie w celu potwierdzenia "
                                      "poprawności danych."));
        result.lastRead = read(link, ui, registerType);
    } else {
        ui.showMessage(QStringLiteral("Poprawnie zweryfikowano ") +
                       QString::number(result.compared) +
                       QStringLiteral(" towarów. Nie stwierdzono błędów."));
    }
    return result;
}

} // namespace basesync
