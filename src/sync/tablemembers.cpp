#include "tablemembers.h"

#include "common/amount.h"
#include "common/cp1250.h"
#include "tables/cashierrecord.h"
#include "tables/currencyrecord.h"
#include "tables/paymentformrecord.h"

namespace basesync {

namespace {

QString amountColumn(QByteArrayView image, int at)
{
    return amountAt(image, at).rightJustified(10, u' ');
}

QString count(QByteArrayView image, int from, int to)
{
    return QString::number(unsignedAt(image, from, to - from + 1));
}

// Columns after the name

QString noColumns(QByteArrayView)
{
    return {};
}

QString packagingColumns(QByteArrayView image)
{
    return u' ' + amountColumn(image, 43) +
           (image[65] != 0 ? QStringLiteral(" sztywna") : QStringLiteral(" ruchoma"));
}

QString discountColumns(QByteArrayView image)
{
    return (image[22] != 0 ? QStringLiteral("[N]") : QStringLiteral("[R]")) +
           amountColumn(image, 24) + u' ' +
           (image[23] != 0 ? QStringLiteral("kwotowy") : QStringLiteral("%"));
}

QString paymentFormColumns(QByteArrayView image)
{
    const QString name = paymentTypeName(quint8(image[26]));
    return name.isEmpty() ? QString() : u' ' + name;
}

QString currencyColumns(QByteArrayView image)
{
    return u' ' + rateText(qint32(unsignedAt(image, 26, 4)), quint8(image[30])) + u' ' +
           cp1250::readField(image.sliced(31, 3)).leftJustified(3, u' ');
}

// Register statistics

Details groupDetails(QByteArrayView image)
{
    return {{}, {{QStringLiteral("Utarg wybranej grupy towarowej:"), amountAt(image, 22)}}, {}};
}

Details packagingDetails(QByteArrayView image)
{
    return {{},
            {{QStringLiteral("Wartość przyjęć:"), amountAt(image, 47)},
             {QStringLiteral("Wartość zwrotów:"), amountAt(image, 51)},
             {QStringLiteral("Data ostatniej sprzedaży:"), timeStampText(image, 55, true)},
             {QStringLiteral("Liczba przyjęć opakowań zwrotnych:"), count(image, 61, 62)},
             {QStringLiteral("Liczba zwrotów opakowań zwrotnych:"), count(image, 63, 64)}},
            {}};
}

const QStringList& rightCaptions()
{
    static const QStringList captions{
        QStringLiteral("Możliwość wykonywania raportów niezerujących"),
        QStringLiteral("Możliwość wykonywania raportów zerujących"),
        QStringLiteral("Możliwość ręcznego udzielania rabatów"),
        QStringLiteral("Możliwość udzielania rabatów z bazy"),
        QStringLiteral("Możliwość anulowania paragonu"),
        QStringLiteral("Możliwość wykonywania operacji storno"),
        QStringLiteral("Możliwość wykonywania wpłat i wypłat z kasy")};
    return captions;
}

void appendRights(Details& d, QByteArrayView bytes, int at)
{
    for (int i = 0; i < 7; ++i)
        d.fields.append({rightCaptions()[i], yesNo(bytes[at + i] != 0)});
}

Details cashierDetails(QByteArrayView image)
{
    Details d;
    d.fields = {
        {QStringLiteral("Utarg gotówkowy"), amountAt(image, 26)},
        {QStringLiteral("Utarg całkowity"), amountAt(image, 30)},
        {QStringLiteral("Liczba wydanych paragonów"), count(image, 34, 35)},
        {QStringLiteral("Liczba anulowanych paragonów"), count(image, 36, 37)},
        {QStringLiteral("Kwota anulowanych paragonów"), amountAt(image, 38)},
        {QStringLiteral("Liczba storno"), count(image, 42, 43)},
        {QStringLiteral("Kwota storno"), amountAt(image, 44)},
        {QStringLiteral("Wpłaty do kasy"), amountAt(image, 48)},
        {QStringLiteral("Wypłaty z kasy"), amountAt(image, 52)},
        {QStringLiteral("Zwroty opakowań zwrotnych"), amountAt(image, 56)},
        {QStringLiteral("Wydania opakowań zwrotnych"), amountAt(image, 60)},
    };
    appendRights(d, image, 224);
    d.fields.append({QStringLiteral("Ostatnie logowanie:"), timeStampText(image, 231, false)});
    d.fields.append({QStringLiteral("Ostatnie wylogowanie:"), timeStampText(image, 237, false)});
    d.fields.append({QStringLiteral("Całkowity czas pracy:"),
                     count(image, 243, 244) + QStringLiteral(" godzin ") + count(image, 245, 245)});
    if (image[246] != 0)
        d.notice = QStringLiteral("KASJER ZALOGOWANY!");
    return d;
}

Details cashierPcDetails(QByteArrayView record)
{
    Details d;
    appendRights(d, record, 26);
    d.fields.append({QStringLiteral("Hasło:"), cashierPasswordText(CashierRecord::decode(record))});
    return d;
}

Details discountDetails(QByteArrayView image)
{
    return {{},
            {{QStringLiteral("Obrót rabatu/narzutu:"), amountAt(image, 28)},
             {QStringLiteral("Ilość użyć rabatu/narzutu:"), count(image, 32, 35)}},
            {}};
}

Details paymentFormDetails(QByteArrayView image)
{
    return {{},
            {{QStringLiteral("Obrót formy płatności:"), amountAt(image, 22)},
             {QStringLiteral("Ilość użyć formy płatności"), count(image, 27, 30)}},
            {}};
}

Details currencyDetails(QByteArrayView image)
{
    return {{},
            {{QStringLiteral("Obrót:"), amountAt(image, 22)},
             {QStringLiteral("Ilość użyć:"), count(image, 34, 37)}},
            {}};
}

// Waits after a busy answer to a programming frame

int groupsBusyWait(quint16 sequence)
{
    return (sequence & 0xFF) == 1 ? 1000 : 450;
}

int cashiersBusyWait(quint16 sequence)
{
    return (sequence & 0xFF) == 0 ? 2300 : 1700;
}

int discountsBusyWait(quint16 sequence)
{
    return (quint16(sequence + 1) & 0xFF) == 1 ? 1000 : 390;
}

int paymentFormsBusyWait(quint16 sequence)
{
    return (sequence & 0xFF) == 1 ? 1000 : 390;
}

// The deletion builders under one signature (cashiers, currencies, packaging and groups
// carry no confirm byte).

QByteArray deleteGroup(quint8 a, quint16 s, quint8 n, const QString& name, quint8)
{
    return commands::deleteProductGroup(a, s, n, name);
}

QByteArray deletePackaging(quint8 a, quint16 s, quint8 n, const QString& name, quint8)
{
    return commands::deletePackaging(a, s, n, name);
}

QByteArray deleteCashier(quint8 a, quint16 s, quint8 n, const QString& name, quint8)
{
    return commands::deleteCashier(a, s, n, name);
}

QByteArray deleteCurrency(quint8 a, quint16 s, quint8 n, const QString& name, quint8)
{
    return commands::deleteCurrency(a, s, n, name);
}

RecordField field(const char16_t* caption, int offset, int width)
{
    return {QString::fromUtf16(caption), offset, width};
}

TableMember base(const QString& id, const QString& caption, const QString& what,
                 const TableLayout& pc, int pcLines, int registerLines, int imageSize, char letter)
{
    TableMember m;
    m.id = id;
    m.caption = caption;
    m.pcTitle = QStringLiteral("Baza ") + what + QStringLiteral(" PC");
    m.registerTitle = QStringLiteral("Baza ") + what + QStringLiteral(" kasy Vorn Duno");
    m.pc = pc;
    m.pcLines = pcLines;
    m.registerLines = registerLines;
    m.imageSize = imageSize;
    // 7-byte head + image + check byte + end byte
    m.answerLength = imageSize + 9;
    m.letter = letter;
    return m;
}

} // namespace

QByteArray TableMember::imageOfRecord(QByteArrayView record) const
{
    QByteArray image(imageSize, '\0');
    for (const ByteMap& map : toPc)
        for (int i = 0; i < map.count && map.recordFrom + i < record.size(); ++i)
            image[map.imageFrom + i] = record[map.recordFrom + i];
    return image;
}

QByteArray TableMember::recordOfImage(QByteArrayView image) const
{
    QByteArray record(pc.recordSize, '\0');
    for (const ByteMap& map : toPc)
        for (int i = 0; i < map.count && map.imageFrom + i < image.size(); ++i)
            record[map.recordFrom + i] = image[map.imageFrom + i];
    return record;
}

const TableMember& groupsMember()
{
    static const TableMember m = [] {
        TableMember m =
            base(QStringLiteral("groups"), QStringLiteral("Podgląd bazy grup towarowych"),
                 QStringLiteral("grup towarowych"), layout::Groups, 20, 20, 26, 'G');
        m.confirmCaption =
            QStringLiteral("Potwierdzaj wprowadzanie grup towarowych z klawiatury kasy");
        m.copyToRegisterCaption = QStringLiteral("Skopiuj wszystkie\nrekordy do kasy");
        m.copyToPcCaption = QStringLiteral("Skopiuj wszystkie\nrekordy do PC");
        m.disableFormWhileWaiting = true;
        m.toPc = {{0, 0, 22}};
        m.fields = {field(u"nazwa", 1, 21)};
        m.noun = QStringLiteral(" grup towarowych.");
        m.runEnd = RunEnd::WaitReadMessage;
        m.settleMs = 430;
        m.deviceErrorOnDelete = true;
        m.columns = noColumns;
        m.registerDetails = groupDetails;
        m.programBusyWaitMs = groupsBusyWait;
        m.programFrame = commands::productGroupRecord;
        m.deleteFrame = deleteGroup;
        return m;
    }();
    return m;
}

const TableMember& packagingMember()
{
    static const TableMember m = [] {
        TableMember m = base(QStringLiteral("packaging"), QStringLiteral("Podgląd bazy opakowań"),
                             QStringLiteral("opakowań"), layout::Packaging, 20, 20, 66, 'Z');
        m.confirmCaption = QStringLiteral("Potwierdzaj wprowadzanie opakowań z klawiatury kasy");
        m.copyToRegisterCaption = QStringLiteral("Skopiuj wszystkie\nrekordy do kasy");
        m.copyToPcCaption = QStringLiteral("Skopiuj wszystkie\nrekordy do PC");
        m.listNameWidth = 22;
        m.imageNameWidth = 42;
        m.toPc = {{0, 0, 47}, {65, 47, 1}};
        m.fields = {field(u"nazwa", 1, 42), field(u"cena", 43, 4), field(u"zmiana ceny", 47, 1)};
        m.noun = QStringLiteral(" opakowań.");
        m.runEnd = RunEnd::WaitReadMessage;
        m.settleMs = 1300;
        m.reportWaitOnDelete = true;
        m.columns = packagingColumns;
        m.registerDetails = packagingDetails;
        m.programBusyWaitMs = groupsBusyWait;
        m.programFrame = commands::packagingRecord;
        m.deleteFrame = deletePackaging;
        return m;
    }();
    return m;
}

const TableMember& cashiersMember()
{
    static const TableMember m = [] {
        TableMember m = base(QStringLiteral("cashiers"), QStringLiteral("Podgląd bazy kasjerów"),
                             QStringLiteral("kasjerów"), layout::Cashiers, 10, 20, 324, 'K');
        m.disableFormWhileWaiting = true;
        m.toPc = {{0, 0, 26}, {224, 26, 7}};
        m.fields = {field(u"nazwa", 1, 21), field(u"hasło", 22, 4), field(u"uprawnienia", 26, 7)};
        m.noun = QStringLiteral(" kasjerów.");
        m.runEnd = RunEnd::MessageWaitRead;
        m.settleMs = 400;
        m.deviceErrorOnDelete = true;
        m.columns = noColumns;
        m.registerDetails = cashierDetails;
        m.pcDetails = cashierPcDetails;
        m.programBusyWaitMs = cashiersBusyWait;
        m.programFrame = commands::cashierRecord;
        m.deleteFrame = deleteCashier;
        return m;
    }();
    return m;
}

const TableMember& discountsMember()
{
    static const TableMember m = [] {
        TableMember m = base(QStringLiteral("discounts"), QStringLiteral("Podgląd bazy rabatów"),
                             QStringLiteral("rabatów"), layout::Discounts, 20, 20, 36, 'R');
        m.confirmCaption = QStringLiteral("Potwierdzaj wprowadzanie rabatów z klawiatury kasy");
        m.copyToPcCaption = QStringLiteral("Skopiuj Zaznaczone\nrekordy do PC");
        m.toPc = {{0, 0, 28}};
        m.fields = {field(u"nazwa", 1, 21), field(u"rodzaj", 22, 1), field(u"typ", 23, 1),
                    field(u"wartość", 24, 4)};
        m.noun = QStringLiteral(" rabatów.");
        m.runEnd = RunEnd::MessageWaitRead;
        m.settleMs = 400;
        m.columns = discountColumns;
        m.registerDetails = discountDetails;
        m.programBusyWaitMs = discountsBusyWait;
        m.programFrame = commands::discountRecord;
        m.deleteFrame = commands::deleteDiscount;
        return m;
    }();
    return m;
}

const TableMember& paymentFormsMember()
{
    static const TableMember m = [] {
        TableMember m =
            base(QStringLiteral("payments"), QStringLiteral("Podgląd bazy form płatności"),
                 QStringLiteral("form płatności"), layout::PaymentForms, 10, 10, 31, 'F');
        m.confirmCaption =
            QStringLiteral("Potwierdzaj wprowadzanie form płatności z klawiatury kasy");
        m.disableFormWhileWaiting = true;
        m.toPc = {{0, 0, 22}, {26, 22, 1}};
        m.fields = {field(u"nazwa", 1, 21), field(u"rodzaj", 22, 1)};
        m.noun = QStringLiteral(" form płatnosci.");
        m.runEnd = RunEnd::WaitMessageRead;
        m.settleMs = 450;
        m.columns = paymentFormColumns;
        m.registerDetails = paymentFormDetails;
        m.programBusyWaitMs = paymentFormsBusyWait;
        m.programFrame = commands::paymentFormRecord;
        m.deleteFrame = commands::deletePaymentForm;
        return m;
    }();
    return m;
}

const TableMember& currenciesMember()
{
    static const TableMember m = [] {
        TableMember m =
            base(QStringLiteral("currencies"), QStringLiteral("Podgląd bazy walut obcych"),
                 QStringLiteral("walut obcych"), layout::Currencies, 10, 10, 42, 'W');
        m.confirmCaption = QStringLiteral("Potwierdzaj wprowadzanie walut z klawiatury kasy");
        m.toPc = {{0, 0, 22}, {26, 22, 8}};
        m.fields = {field(u"nazwa", 1, 21), field(u"kurs", 22, 4),
                    field(u"miejsca dziesiętne", 26, 1), field(u"symbol", 27, 3)};
        m.noun = QStringLiteral(" walut.");
        m.runEnd = RunEnd::MessageWaitRead;
        m.settleMs = 430;
        m.columns = currencyColumns;
        m.registerDetails = currencyDetails;
        m.programBusyWaitMs = paymentFormsBusyWait;
        m.programFrame = commands::currencyRecord;
        m.deleteFrame = deleteCurrency;
        return m;
    }();
    return m;
}

const QList<const TableMember*>& tableMembers()
{
    static const QList<const TableMember*> all{&groupsMember(),       &packagingMember(),
                                               &cashiersMember(),     &discountsMember(),
                                               &paymentFormsMember(), &currenciesMember()};
    return all;
}

const TableMember* tableMember(const QString& id)
{
    for (const TableMember* m : tableMembers())
        if (m->id == id)
            return m;
    return nullptr;
}

} // namespace basesync
