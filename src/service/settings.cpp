#include "settings.h"

#include "link/answers.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/link.h"

#include <limits>

namespace service {

namespace {

QStringList offOn()
{
    return {QStringLiteral("wyłączone"), QStringLiteral("włączone")};
}

QStringList numbers(int from, int to)
{
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << QString::number(i);
    return list;
}

} // namespace

const std::array<SettingField, kSettingCount>& settingFields()
{
    using K = SettingKind;
    static const std::array<SettingField, kSettingCount> fields = {{
        {"numer_kasy", QStringLiteral("Numer kasy"), K::Choice, numbers(1, 9), 0, 0},
        {"format_wplat",
         QStringLiteral("Format wpłat"),
         K::Choice,
         {QStringLiteral("złotówki"), QStringLiteral("grosze")},
         0,
         1},
        {"wplaty_obowiazkowe",
         QStringLiteral("Wpłaty obowiązkowe"),
         K::Choice,
         {QStringLiteral("nie"), QStringLiteral("tak")},
         0,
         2},
        {"czas_wylaczenia",
         QStringLiteral("Czas wyłączenia bez zasilacza (5-60min)"),
         K::Byte,
         {},
         2,
         3},
        {"impuls_szuflady",
         QStringLiteral("Długość impulsu ster. szuflady (0-255ms)"),
         K::Byte,
         {},
         3,
         4},
        {"rabaty",
         QStringLiteral("Udzielanie rabatów"),
         K::Choice,
         {QStringLiteral("przed pozycją"), QStringLiteral("po pozycji")},
         0,
         5},
        {"karta_zapasowa",
         QStringLiteral("Karta zapasowa"),
         K::Choice,
         {QStringLiteral("brak"), QStringLiteral("obecna")},
         0,
         6},
        {"max_paragon",
         QStringLiteral("Maksymalna wartość paragonu (0-brak ograniczenia)"),
         K::Int32,
         {},
         12,
         7},
        {"szybkosc_druku",
         QStringLiteral("Szybkość druku"),
         K::Choice,
         {QStringLiteral("maksymalna"), QStringLiteral("podwyższona"), QStringLiteral("normalna")},
         0,
         11},
        {"auto_sprzedaz", QStringLiteral("Automatyczne wchodzenie do sprzedaży"), K::Choice,
         offOn(), 0, 12},
        {"wydruk_pc", QStringLiteral("Wydruk danych przesyłanych z PC"), K::Choice, offOn(), 0, 13},
        {"transmisja",
         QStringLiteral("Rodzaj transmisji"),
         K::Choice,
         {QStringLiteral("DUNO"), QStringLiteral("DUNO 8k")},
         0,
         14},
        {"dzwieki", QStringLiteral("Dźwięki klawiatury"), K::Choice, offOn(), 0, 15},
        {"oszczedzanie", QStringLiteral("Oszczędzanie energii"), K::Choice, offOn(), 0, 16},
        {"czas_uspienia", QStringLiteral("Czas uśpienia (minuty)"), K::Choice, numbers(1, 5), 0,
         17},
        {"podswietlenie_operatora",
         QStringLiteral("Podświetlenie panelu operatora (5-100)%"),
         K::Byte,
         {},
         3,
         18},
        {"podswietlenie_klienta",
         QStringLiteral("Podświetlenie panelu klienta (5-100)%"),
         K::Byte,
         {},
         3,
         19},
        {"auto_szuflada", QStringLiteral("Automatyczne otwieranie szuflady"), K::Choice, offOn(), 0,
         20},
        {"przypominanie_raport", QStringLiteral("Przypominanie o raporcie dobowym"), K::Choice,
         offOn(), 0, 21},
    }};
    return fields;
}

int settingIndex(const QString& key)
{
    const auto& fields = settingFields();
    for (int i = 0; i < kSettingCount; ++i)
        if (key == QLatin1String(fields[size_t(i)].key))
            return i;
    return -1;
}

std::optional<QByteArray> settingsBytes(const SettingsValues& values, QString* error)
{
    QByteArray block(kSettingsSize, '\0');
    const auto& fields = settingFields();
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingField& f = fields[size_t(i)];
        if (f.kind == SettingKind::Choice) {
            block[f.offset] = char(values.choice[size_t(i)]);
            continue;
        }
        const QString& text = values.number[size_t(i)];
        bool ok = false;
        const qint32 v = text.trimmed().toInt(&ok);
        if (!ok) {
            if (error)
                *error = QLatin1Char('\'') + text +
                         QStringLiteral("' nie jest poprawną liczbą całkowitą.");
            return std::nullopt;
        }
        // A byte field takes 0..255 and the receipt limit no negative amount: a value the
        // block cannot carry is refused, not sent as its low byte (300 would arrive as 44).
        const qint32 max = f.kind == SettingKind::Byte ? 255 : std::numeric_limits<qint32>::max();
        if (v < 0 || v > max) {
            if (error)
                *error = QStringLiteral("Wartość '") + text + QStringLiteral("' w polu „") +
                         f.caption + QStringLiteral("” jest poza zakresem 0-") +
                         QString::number(max) + u'.';
            return std::nullopt;
        }
        if (f.kind == SettingKind::Byte)
            block[f.offset] = char(quint8(v));
        else
            frame::putU32(block, f.offset, quint32(v));
    }
    return block;
}

void applySettingsAnswer(QByteArrayView data, SettingsValues& values)
{
    const auto& fields = settingFields();
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingField& f = fields[size_t(i)];
        const int width = f.kind == SettingKind::Int32 ? 4 : 1;
        if (f.offset + width > data.size())
            continue;
        switch (f.kind) {
        case SettingKind::Choice:
            if (quint8(data[f.offset]) < f.items.size())
                values.choice[size_t(i)] = quint8(data[f.offset]);
            break;
        case SettingKind::Byte:
            values.number[size_t(i)] = QString::number(quint8(data[f.offset]));
            break;
        case SettingKind::Int32: {
            const quint32 v = quint32(frame::u16(data, f.offset)) |
                              (quint32(frame::u16(data, f.offset + 2)) << 16);
            values.number[size_t(i)] = QString::number(qint32(v));
            break;
        }
        }
    }
}

bool setSettingValue(SettingsValues& values, int index, const QString& value)
{
    if (index < 0 || index >= kSettingCount)
        return false;
    const SettingField& f = settingFields()[size_t(index)];
    if (f.kind != SettingKind::Choice) {
        values.number[size_t(index)] = value;
        return true;
    }
    const qsizetype item = f.items.indexOf(value);
    if (item >= 0) {
        values.choice[size_t(index)] = int(item);
        return true;
    }
    return false;
}

QString settingText(const SettingsValues& values, int index)
{
    const SettingField& f = settingFields()[size_t(index)];
    if (f.kind != SettingKind::Choice)
        return values.number[size_t(index)];
    return f.items.value(values.choice[size_t(index)]);
}

bool sendSettings(Link& link, TransferUi& ui, const SettingsValues& values)
{
    QString error;
    const auto block = settingsBytes(values, &error);
    if (!block) {
        ui.showMessage(error, TransferUi::Icon::Error);
        return false;
    }
    link.drainInput(ui);
    if (link.sendBytes(ui, commands::setAdditionalSettings(frame::Single, *block)) != 0)
        return false;
    // The register confirms the block or refuses it with a device error; a refusal must not
    // pass unseen.
    int r = answers::confirmationWait(link, ui);
    if (r == answers::Busy) {
        ui.waitMs(250);
        r = answers::confirmationWait(link, ui);
    }
    if (answers::confirmed(r))
        return true;
    if (r == answers::DeviceError)
        answers::showDeviceError(ui, link.at(8));
    else if (r != answers::UserStopped)
        ui.showMessage(QStringLiteral("Brak odpowiedzi kasy."), TransferUi::Icon::Error);
    return false;
}

std::optional<QByteArray> readSettingsBlock(Link& link, TransferUi& ui)
{
    if (!answers::readSingleFrame(link, ui,
                                  commands::requestTable(link.address, frame::Single, 3, 1),
                                  kSettingsAnswerSize))
        return std::nullopt;
    return link.received(kSettingsAnswerSize).sliced(7, kSettingsReported).toByteArray();
}

bool readSettings(Link& link, TransferUi& ui, SettingsValues& values)
{
    const auto block = readSettingsBlock(link, ui);
    if (!block)
        return false;
    applySettingsAnswer(*block, values);
    return true;
}

} // namespace service
