#include "answers.h"

#include "commands.h"
#include "frame.h"

namespace answers {

namespace {

// Codes 0..119; codes without a text in the register's list are empty.
const char16_t* const kDeviceErrors[120] = {
    u"Nierozpoznany kod rozkazu",                                                          // 0
    u"Zła wartość sumy kontrolnej CRC8",                                                   // 1
    u"Długość ramki nie zgadza się z wartością pola lenght",                               // 2
    u"Zły początek/koniec ramki",                                                          // 3
    u"Zły numer ramki",                                                                    // 4
    u"Nazwa towaru już występuje w bazie",                                                 // 5
    u"Numer towaru poza zakresem (więcej niż 2000)",                                       // 6
    u"Zła wartość stawki podatkowej PTU (więcej niż 'G' lub ptu niezaprogramowane)",       // 7
    u"Zły format kody kreskowego (dozwolone 8 lub 13 cyfr)",                               // 8
    u"Zły numer grupy towarowej (więcej niż 20 lub grupa niezaprogramowana)",              // 9
    u"Zły numer opakowania (więcej niż 20 lub opakowanie niezaprogramowane)",              // 10
    u"Zła wartość parametru „Cena stała” (dozwolone 0 lub 1)",                             // 11
    u"Zła wartość parametru „Ilość całkowita” (dozwolone 0 lub 1)",                        // 12
    u"Zła wartość parametru „Czy uźywany/a” (dozwolone 0 lub 1)",                          // 13
    u"Zły numer rabatu/narzutu (więcej niż 20)",                                           // 14
    u"Zły rodzaj rabatu/narzutu (dozwolone 0 lub 1)",                                      // 15
    u"Zły typ ranatu/narzutu (dozwolone 0 lub 1)",                                         // 16
    u"Zła wartość rabatu/narzutu procentowego (więcej niż 9999)",                          // 17
    u"Zły numer kasjera (więcej niż 20)",                                                  // 18
    u"Nazwa kasjera już występuje w bazie",                                                // 19
    u"Zła wartość pola „Wykonywanie raportów niezerujących” (dozwolone 0 lub 1)",          // 20
    u"Zła wartość pola „Wykonywanie raportów zerujących” (dozwolone 0 lub 1)",             // 21
    u"Zła wartość pola „Udzielanie rabatów z ręki” (dozwolone 0 lub 1)",                   // 22
    u"Zła wartość pola „Udzielanie rabatów z bazy” (dozwolone 0 lub 1)",                   // 23
    u"Zła wartość pola „Anulowanie paragonu” (dozwolone 0 lub 1)",                         // 24
    u"Zła wartość pola „Wykonywanie operacji storno” (dozwolone 0 lub 1)",                 // 25
    u"Zła wartość pola „Wpłaty i wypłaty gotówkowe” (dozwolone 0 lub 1)",                  // 26
    u"Zła wartość pola „Wykonywanie raportów niezerujących” (dozwolone 0 lub 1)",          // 27
    u"Zły numer formy płatności (więcej niż 10)",                                          // 28
    u"Nazwa formy płatności już występuje w bazie",                                        // 29
    u"Zła wartość pola „Typ formy płatności” (dozwolone 1 do 4)",                          // 30
    u"Zły numer waluty (więcej niż 10)",                                                   // 31
    u"Nazwa waluty już występuje w bazie",                                                 // 32
    u"Za mała wartość kursu waluty (minimum 8 cyfrowa liczba)",                            // 33
    u"Za krótki symbol waluty (musi być 3 znaki) lub symbol waluty już występuje w bazie", // 34
    u"Zła wartość stawki podatku PTU (więcej niż 9999)",                                   // 35
    u"Zły numer opakowania (więcej niż 20)",                                               // 36
    u"Nazwa opakowanie już występuje w bazie",                                             // 37
    u"Wartość pola „Liczba linii w nagłówku” nie zgadza się danymi wpisanymi do tablicy linijek "
    u"nagłówka",                                                                           // 38
    u"Zła wartość pola „Pogrubiona linia” (dozwolone 0 lub 1)",                            // 39
    u"Nazwa grupy towarowej już występuje w bazie",                                        // 40
    u"Zła wartość pola „Raport bazy z PTU niezerujący” (dozwolone 0 do 2)",                // 41
    u"Zła wartość pola „Raport form płatności niezerujący” (dozwolone 0 do 2)",            // 42
    u"Zła wartość pola „Raport grup towarowych niezerujący” (dozwolone 0 do 2)",           // 43
    u"Zła wartość pola „Raport opakowań niezerujący” (dozwolone 0 do 2)",                  // 44
    u"Zła wartość pola „Raport pełny bazu PLU niezerujący” (dozwolone 0 do 2)",            // 45
    u"Zła wartość pola „Raoprt sprzedaży niezerujący” (dozwolone 0 do 2)",                 // 46
    u"Zła wartość pola „Raport zmianowy kasjerów niezerujący” (dozwolone 0 do 2)",         // 47
    u"Zła wartość pola „Raport rabatów niezerujący” (dozwolone 0 do 2)",                   // 48
    u"Zła wartość pola „Raport PTU” (dozwolone 0 do 1)",                                   // 49
    u"Zła wartość pola „Raport kasy” (dozwolone 0 do 1)",                                  // 50
    u"Zła wartość pola „Raport klawiszy szybkich” (dozwolone 0 do 1)",                     // 51
    u"Zła wartość pola „Raport sprzedaży zerujący” (dozwolone 0 do 2)",                    // 52
    u"Zła wartość pola „Raport zmianowy kasjerów zerujący” (dozwolone 0 do 2)",            // 53
    u"Zła wartość pola „Raport opakowań zerujący” (dozwolone 0 do 2)",                     // 54
    u"Zła wartość pola „Raport form płatności zerujący” (dozwolone 0 do 2)",               // 55
    u"Zła wartość pola „Raport grup towarowych zerujący” (dozwolone 0 do 2)",              // 56
    u"Zła wartość pola „Raport rabatów zerujący” (dozwolone 0 do 2)",                      // 57
    u"Zła wartość pola „Raport dobowy” (dozwolone 0 do 1)",                                // 58
    u"Zła wartość pola Rok w dacie",                                                       // 59
    u"Zła wartość pola Miesiąc w dacie (więcej niż 12)",                                   // 60
    u"Zła wartość pola Dzień w dacie (więcej niż 28,30 oraz 31 zależnie od pola miesiąc)", // 61
    u"Zła wartość pola Godzina w dacie (więcej niż 23)",                                   // 62
    u"Zła wartość pola Minuta w dacie (więcej niż 59)",                                    // 63
    u"Zła wartość pola Sekunda w dacie (więcej niż 59)",                                   // 64
    u"Zły numer klawisza (więcej niż 10)",                                                 // 65
    u"Towar pod podanym numerem nie istnieje",                                             // 66
    u"Towar może być sprzedawany tylko w ilości całkowitej",                               // 67
    u"Zła wartość pola „Kończenie paragonu” (dozwolone 0 lub 1)",                          // 68
    u"Zła wartość pola „Rodzaj raportu okresowego” (dozwolone 0 do 3)",                    // 69
    u"Zła wartość pola „Zakres raportu” (dozwolone 0 lub 1)",                              // 70
    u"Zła wartość pola „Numer raportu początkowego”/”Numer raportu końcowego”",            // 71
    u"Zła wartość pola „Rodzaj raportu” (dozwolone 1 do 3)",                               // 72
    u"Zła wartość pola „Raport zerujący/niezerujący” (dozwolone 0 lub 1)",                 // 73
    u"Zła wartość pola „Rekordy zerowe” (dozwolone 0 lub 1)",                              // 74
    u"Niezrozumiała wartość pola „Kod zapytania”",                                         // 75
    u"Zła wartość pola „Numer rekordu” (zależnie od pola „Kod zapytania”)",                // 76
    u"Niezerowa wartość totalizerów",                                                      // 77
    u"Cena poza zakresem",                                                                 // 78
    u"",                                                                                   // 79
    u"Błędny zapis nagłówka",                                                              // 80
    u"",                                                                                   // 81
    u"Próba skasowania grupy podstawowej",                                                 // 82
    u"Data wsteczna",                                                                      // 83
    u"Przekroczono dopuszczalną liczbę zmian waluty ewidencyjnej",                         // 84
    u"Błędna wartość indeksu tablicy Halo",                                                // 85
    u"Kasjer niezaprogramowany",                                                           // 86
    u"Data wcześniejsza niż zapisana w bloku fiskalnym",                                   // 87
    u"Za duża liczba znaków w nagłówku (max 240)",                                         // 88
    u"Próba skasowania kierownika",                                                        // 89
    u"Niepasująca nazwa rekordu",                                                          // 90
    u"Niezerowa wartość sprzedaży towaru",                                                 // 91
    u"Błąd zapisu ustawień portów komunikacyjnych",                                        // 92
    u"Za duża zmiana godziny",                                                             // 93
    u"",                                                                                   // 94
    u"",                                                                                   // 95
    u"Niezerowa wartość sprzedaży towaru",                                                 // 96
    u"Wymagany tryb serwisowy",                                                            // 97
    u"Błąd zegara",                                                                        // 98
    u"Błąd pamięci podręcznej",                                                            // 99
    u"Błąd karty pamięci",                                                                 // 100
    u"Maksymalna liczba zmian stawek PTU",                                                 // 101
    u"",                                                                                   // 102
    u"Niezerowy utarg kasjera",                                                            // 103
    u"Niezerowy obrót formy płatności",                                                    // 104
    u"Niezerowy obrót waluty obcej",                                                       // 105
    u"Niezerowy obrót opakowania",                                                         // 106
    u"Niezerowy obrót grupy towarowej",                                                    // 107
    u"Próba skasowania kasjera zalogowanego",                                              // 108
    u"Korekta czasu w raporcie dobowym już wykonana",                                      // 109
    u"Błąd zapisu ustawień kasy",                                                          // 110
    u"Brak grupy towarowej o podanym numerze",                                             // 111
    u"",                                                                                   // 112
    u"",                                                                                   // 113
    u"",                                                                                   // 114
    u"",                                                                                   // 115
    u"",                                                                                   // 116
    u"",                                                                                   // 117
    u"",                                                                                   // 118
    u"",                                                                                   // 119
};

bool isStatus(const Link& link, quint8 status)
{
    return link.at(6) == frame::StatusCommand && link.at(2) == 10 && link.at(7) == status;
}

bool isAck(const Link& link, quint8 code)
{
    return link.at(6) == frame::AckCommand && link.at(2) == 10 && link.at(7) == code;
}

// The first `length` bytes of the receive area are one whole frame of that length: start
// byte, length field, end byte and check byte all agree.
bool wholeFrame(const Link& link, int length)
{
    return length >= 9 && link.at(0) == frame::Start && link.at(2) == (length & 0xFF) &&
           link.at(3) == (length >> 8) && link.at(length - 1) == frame::End &&
           frame::checkByte(link.received(length)) == link.at(length - 2);
}

// A register acknowledgement with this code that is a whole frame: start and end byte in
// place. Codes 0 and 3 are taken without looking at the check byte, as the register's own
// acknowledgements are; bytes that merely carry 0x06 and the code somewhere are not.
bool isGoodAck(const Link& link, quint8 code)
{
    return isAck(link, code) && link.at(0) == frame::Start && link.at(3) == 0 &&
           link.at(9) == frame::End;
}

// A completion wait never outlasts this on the run's clock (a register that keeps
// reporting "still printing" forever would otherwise hold the program).
constexpr qint64 kCompletionLimitMs = 15 * 60 * 1000;

} // namespace

QString deviceErrorText(int code)
{
    if (code < 0 || code >= 120)
        return {};
    return QString::fromUtf16(kDeviceErrors[code]);
}

QString deviceErrorMessage(int code)
{
    return QStringLiteral("Błąd ") + QString::number(code) + QStringLiteral(": ") +
           deviceErrorText(code);
}

void showDeviceError(TransferUi& ui, int code)
{
    ui.showMessage(deviceErrorMessage(code), TransferUi::Icon::Error);
}

int sendAcknowledgement(Link& link, TransferUi& ui, quint8 code)
{
    return link.sendBytes(ui, frame::acknowledgement(link.address, code));
}

bool checkByteRight(Link& link, TransferUi& ui, int length)
{
    const quint8 computed = frame::checkByte(link.received(length));
    const quint8 got = link.at(length - 2);
    if (computed == got)
        return true;
    ui.showMessage(QStringLiteral("CRC kasy: ") + QString::number(got) +
                       QStringLiteral(" CRC PC: ") + QString::number(computed),
                   TransferUi::Icon::Error);
    ui.showMessage(QStringLiteral("Błąd CRC!"), TransferUi::Icon::Error);
    return false;
}

int readAnswer(Link& link, TransferUi& ui, int length)
{
    const int r = readUnanswered(link, ui, length);
    if (r != More && r != Done)
        return r;
    const quint8 code = r == Done ? 3 : link.stopRequest ? 4 : 0;
    sendAcknowledgement(link, ui, code);
    return code == 0 ? More : Done;
}

int readUnanswered(Link& link, TransferUi& ui, int length)
{
    length = qBound(9, length, int(Link::ReceiveSize));
    const int n = link.read(length);
    const bool status = link.at(6) == frame::StatusCommand;
    if (n == 10 && status && link.at(7) == 0x10) {
        ui.showMessage(QStringLiteral("Pusta baza."));
        return Nothing;
    }
    if (n == 10 && status && link.at(7) == 0x40) {
        ui.showMessage(QStringLiteral("Zerowa wartość sprzedaży."));
        return Nothing;
    }
    // A 10-byte status frame (busy, paper out) is no error frame, even when the data frame
    // that the register sends once it is ready follows it within the same read: its byte 8 is
    // the status frame's check byte, not a device error code. Nothing usable came.
    const bool statusFrame = status && link.at(2) == 10 && n >= 10;
    if ((n == 11 || n == length) && n >= 9 && status && !statusFrame) {
        showDeviceError(ui, link.at(8));
        return Nothing;
    }
    if (n < length || statusFrame) {
        ui.showMessage(QStringLiteral("Brak komunikacji."), TransferUi::Icon::Error);
        return Nothing;
    }
    if (!checkByteRight(link, ui, length))
        return CheckError;
    // Bytes whose check byte happens to fit but that are no frame of this length (a start,
    // length or end byte out of place): nothing usable.
    if (link.at(0) != frame::Start || link.at(2) != (length & 0xFF) ||
        link.at(3) != (length >> 8) || link.at(length - 1) != frame::End) {
        ui.showMessage(QStringLiteral("Brak komunikacji."), TransferUi::Icon::Error);
        return Nothing;
    }
    return (frame::u16(link.received(length), 4) & frame::EndMarker) ? Done : More;
}

bool readSingleFrame(Link& link, TransferUi& ui, const QByteArray& request, int length)
{
    link.drainInput(ui);
    if (link.sendBytes(ui, request) != 0)
        return false;
    // readAnswer takes only a whole frame as More or Done; a bad check byte is answered here.
    const int r = readAnswer(link, ui, length);
    if (r == CheckError)
        sendAcknowledgement(link, ui, 1);
    return r == More || r == Done;
}

int paperOutQuestion(Link& link, TransferUi& ui)
{
    TransferUi::Answer answer = TransferUi::Answer::Cancel;
    // Asked again until Yes or No is chosen; a dialog that is only ever dismissed counts
    // as No after a while rather than holding the run for good.
    for (int asked = 0; asked < 100 && answer == TransferUi::Answer::Cancel; ++asked)
        answer = ui.ask(QStringLiteral("Brak papieru! Kontynuować?"), TransferUi::Buttons::YesNo,
                        TransferUi::Icon::Warning, QStringLiteral("UWAGA!"));
    if (answer != TransferUi::Answer::Yes) {
        sendAcknowledgement(link, ui, 4);
        ui.showMessage(QStringLiteral("Komunikacja przerwana przez użytkownika."),
                       TransferUi::Icon::Warning);
        return UserStopped;
    }
    if (link.read(10) == 10) {
        if (isGoodAck(link, 0))
            return Accepted;
        if (isGoodAck(link, 3))
            return AcceptedEnd;
    }
    return NoAnswer;
}

namespace {

int wait(Link& link, TransferUi& ui, bool report)
{
    if (link.read(10) < 10)
        return NoAnswer;
    if (isStatus(link, 0x08))
        return Busy;
    if (isGoodAck(link, 0))
        return Accepted;
    if (isGoodAck(link, 3))
        return AcceptedEnd;
    if (isStatus(link, 0x02)) {
        const int r = paperOutQuestion(link, ui);
        if (report && r == Accepted)
            return NoAnswer;
        return r;
    }
    if (report && isStatus(link, 0x04))
        return completionWait(link, ui) ? AcceptedEnd : NoAnswer;
    if (link.at(2) == 11) {
        if (report) {
            showDeviceError(ui, link.at(8));
            return DeviceError;
        }
        link.readAt(10, 1);
        return DeviceError;
    }
    if (frame::checkByte(link.received(10)) != link.at(8))
        return NoAnswer;
    if (isAck(link, 1))
        return Ack1;
    if (isAck(link, 2))
        return Ack2;
    return NoAnswer;
}

} // namespace

int confirmationWait(Link& link, TransferUi& ui)
{
    return wait(link, ui, false);
}

int reportConfirmationWait(Link& link, TransferUi& ui)
{
    return wait(link, ui, true);
}

bool completionWait(Link& link, TransferUi& ui)
{
    const qint64 start = ui.nowMs();
    int shortReads = 0;
    while (ui.nowMs() - start < kCompletionLimitMs) {
        link.pauseForAnswer(ui, 200);
        if (link.read(10) < 10) {
            if (++shortReads >= 2)
                return false;
            continue;
        }
        if (isGoodAck(link, 0) || isGoodAck(link, 3))
            return true;
    }
    return false;
}

bool probe(Link& link, TransferUi& ui, quint16 sequence, ProbeAnswer answer)
{
    if (link.sendBytes(ui, commands::probe(link.address, sequence)) != 0)
        return false;
    const bool search = answer == ProbeAnswer::Search;
    // A line that cannot tell whether anything arrived is read as before.
    if (SerialLine* line = link.serialLine();
        search && line && line->waitReadable(ProbeAnswerStartMs) == 0)
        return false;
    // Any status frame says that a register answers.
    return link.read(10) == 10 && link.at(6) == frame::StatusCommand &&
           (search || wholeFrame(link, 10));
}

int detectRegisterType(Link& link, TransferUi& ui)
{
    link.drainInput(ui);
    if (link.sendBytes(ui, commands::requestTable(link.address, frame::Single, 'I')) != 0)
        return 0;
    // The length byte tells the type: 124 bytes from a DUNO BIS, 115 from a DUNO.
    if (link.read(4) < 4)
        return 0;
    const int length = link.at(2);
    if (link.at(3) != 0 || (length != 124 && length != 115))
        return 0;
    if (link.readAt(4, length - 4) < length - 4)
        return 0;
    if (frame::checkByte(link.received(length)) != link.at(length - 2)) {
        sendAcknowledgement(link, ui, 1);
        return 0;
    }
    sendAcknowledgement(link, ui, 3);
    switch (link.at(7)) {
    case 100:
        return 1;
    case 200:
        return 2;
    default:
        return length == 124 ? 2 : 1;
    }
}

} // namespace answers
