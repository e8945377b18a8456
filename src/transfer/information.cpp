#include "information.h"

#include "common/amount.h"
#include "common/cp1250.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/link.h"

namespace transfer {

namespace {

const char16_t* const kCaptions[kInfoFieldCount] = {
    u"Wersja oprogramowania",
    u"Oznaczenie pamięci z programem pracy",
    u"Numer unikatowy",
    u"NIP",
    u"Sygnatura pamięci fiskalnej",
    u"Tryb pracy",
    u"Stan pamięci",
    u"Data ostatniego zapisu do pamięci fiskalnej",
    u"Godzina i data wykonania",
    u"Numer raportu",
    u"Numer nośnika kopii elektronicznej",
    u"Liczba zerowań RAM",
    u"Liczba wydanych paragonów od ostatniego raportu dobowego",
    u"Liczba wydanych paragonów od fiskalizacji",
    u"Sprzedaż rozpoczęta",
    u"Tryb serwisowy",
    u"Zaprogramowany nagłówek",
    u"Ilość zapisów stawek PTU",
    u"Numer kasy",
    u"Nazwa zalogowanego kasjera",
    u"Symbol waluty ewidencyjnej",
    u"Data zaprogramowania waluty ewidencyjnej",
    u"Zaprogramowana zmiana waluty ewidencyjnej",
    u"Symbol nowej waluty ewidencyjnej",
    u"Data zmiany waluty ewidencyjnej",
    u"COM A",
    u"COM B",
    u"USB",
    u"Rozmiar karty kopii elektronicznej",
};

constexpr int kBisLength = 124;
constexpr int kDunoLength = 115;
constexpr int kNipShift = 7; // a DUNO's NIP is 7 bytes shorter

QString yesNo(quint8 b)
{
    return b != 0 ? QStringLiteral("TAK") : QStringLiteral("NIE");
}

std::optional<QString> portText(quint8 b)
{
    switch (b) {
    case 0:
        return QStringLiteral("Komputer PC");
    case 1:
        return QStringLiteral("Waga");
    case 2:
        return QStringLiteral("Skaner");
    case 3:
        return QStringLiteral("Brak");
    default:
        return std::nullopt;
    }
}

std::optional<QString> usbText(quint8 b)
{
    switch (b) {
    case 0:
        return QStringLiteral("Brak");
    case 1:
        return QStringLiteral("Komputer PC");
    default:
        return std::nullopt;
    }
}

// Reads the data bytes of either layout by their DUNO BIS offsets.
class Record {
public:
    Record(QByteArrayView data, bool bis) : m_data(data), m_bis(bis) {}
    int at(int d) const
    {
        if (!m_bis && d >= 41)
            d -= kNipShift;
        return d;
    }
    quint8 u8(int d) const { return quint8(m_data[at(d)]); }
    quint16 u16(int d) const { return quint16(u8(d) | (quint8(m_data[at(d) + 1]) << 8)); }
    qint16 i16(int d) const { return qint16(u16(d)); }
    quint32 u32(int d) const { return quint32(u16(d)) | (quint32(u16(d + 2)) << 16); }
    QString text(int d, int width) const { return cp1250::readField(m_data.sliced(at(d), width)); }
    QString timeDate(int d, bool dayZeroIsNone) const
    {
        if (dayZeroIsNone && u8(d + 3) == 0)
            return QStringLiteral("brak");
        return timeDateText(u8(d), u8(d + 1), u8(d + 2), u8(d + 3), u8(d + 4), u8(d + 5));
    }

private:
    QByteArrayView m_data;
    bool m_bis;
};

} // namespace

QString infoCaption(InfoField field)
{
    return QString::fromUtf16(kCaptions[int(field)]);
}

QString dateText(int century, int yearInCentury, int month, int day)
{
    return QString::number(day) + QLatin1Char('-') + QString::number(month) + QLatin1Char('-') +
           QString::number(century * 100 + yearInCentury);
}

QString timeDateText(int century, int yearInCentury, int month, int day, int hour, int minute)
{
    return QStringLiteral("%1:%2")
               .arg(hour, 2, 10, QLatin1Char('0'))
               .arg(minute, 2, 10, QLatin1Char('0')) +
           QStringLiteral("   ") + dateText(century, yearInCentury, month, day);
}

std::optional<Information> decodeInformation(QByteArrayView frame)
{
    if (frame.size() < 4 || quint8(frame[3]) != 0)
        return std::nullopt;
    const int length = quint8(frame[2]);
    if ((length != kBisLength && length != kDunoLength) || frame.size() < length)
        return std::nullopt;
    const bool bis = length == kBisLength;
    const Record r(frame.sliced(7, length - 9), bis);
    Information info;
    info.registerType = bis ? 2 : 1;
    auto set = [&](InfoField f, std::optional<QString> v) { info.values[size_t(f)] = v; };
    using F = InfoField;
    set(F::Version, amount::text(r.u16(0)));
    set(F::ProgramMemory, r.text(2, 10));
    set(F::UniqueNumber, r.text(12, 12));
    set(F::Nip, cp1250::readField(frame.sliced(7 + 24, bis ? 17 : 10)));
    set(F::FiscalSignature, QString::number(r.u16(41)));
    set(F::WorkingMode, r.u8(43) == 1 ? QStringLiteral("FISKALNY") : QStringLiteral("NIEFISKALNY"));
    set(F::MemoryState,
        r.u8(44) == 0 ? QStringLiteral("OTWARTA") : QStringLiteral("ZAMKNIĘTA. TYLKO DO ODCZYTU"));
    set(F::LastFiscalWrite,
        r.u8(48) == 0 ? QStringLiteral("brak") : dateText(r.u8(45), r.u8(46), r.u8(47), r.u8(48)));
    set(F::LastDailyReport, r.timeDate(49, true));
    set(F::LastReportNumber, QString::number(r.i16(55)));
    set(F::CopyMedium,
        r.u8(57) == 0 ? QStringLiteral("Niezainicjowany") : QString::number(r.u8(57)));
    set(F::RamResets, QString::number(r.u8(58)));
    set(F::ReceiptsSinceDaily, QString::number(r.i16(59)));
    set(F::ReceiptsSinceFiscal, QString::number(r.u32(61)));
    set(F::SaleStarted, yesNo(r.u8(65)));
    set(F::ServiceMode, yesNo(r.u8(66)));
    set(F::HeaderProgrammed, yesNo(r.u8(67)));
    set(F::VatRecords, QString::number(r.u8(68)));
    set(F::RegisterNumber, QString::number(r.u8(69)));
    set(F::CashierName, r.text(70, 21));
    set(F::CurrencySymbol, r.text(91, 3));
    set(F::CurrencyProgrammed, r.timeDate(94, false));
    info.currencyChangeProgrammed = r.u8(100) != 0;
    set(F::CurrencyChange, yesNo(r.u8(100)));
    set(F::NewCurrencySymbol, r.text(101, 3));
    set(F::CurrencyChangeDate, r.timeDate(104, true));
    set(F::PortA, portText(r.u8(110)));
    set(F::PortB, portText(r.u8(111)));
    set(F::Usb, usbText(r.u8(112)));
    if (bis)
        set(F::CardSize, QString::number(r.i16(113)));
    return info;
}

std::optional<Information> fetchInformation(Link& link, TransferUi& ui)
{
    auto noAnswer = [&ui]() -> std::optional<Information> {
        ui.showMessage(QStringLiteral("Brak komunikacji"), TransferUi::Icon::Error);
        return std::nullopt;
    };
    link.drainInput(ui);
    if (link.sendBytes(ui, commands::requestTable(link.address, frame::Single, 'I', 0)) != 0)
        return std::nullopt; // the send step has said why
    link.clearReceiveArea();
    if (link.read(4) < 4)
        return noAnswer();
    const int length = link.at(2);
    if (link.at(3) != 0 || (length != kBisLength && length != kDunoLength))
        return noAnswer(); // a status or error frame, or something else
    // The whole frame must arrive: a DUNO BIS answer cut short would otherwise show the
    // zeros of the receive area as its last fields.
    if (link.readAt(4, length - 4) < length - 4)
        return noAnswer();
    if (!answers::checkByteRight(link, ui, length))
        return std::nullopt;
    return decodeInformation(link.received(length));
}

} // namespace transfer
