#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class Link;
class TransferUi;

// The register's operating settings block: 22 bytes in frame bytes 7..28 of the settings
// frame (command 3, 31 bytes, always to address 1, sequence 0x8001). A drop-down travels as
// the index of its item, a number field as one byte (0..255), the receipt limit
// whole (i32, low byte first, frame bytes 14..17).
namespace service {

enum class SettingKind { Choice, Byte, Int32 };

struct SettingField {
    const char* key; // the command line's name, e.g. "numer_kasy"
    QString caption; // the form's caption
    SettingKind kind;
    QStringList items; // drop-down items (Choice)
    int maxChars = 0;  // number fields: the edit's length
    int offset = 0;    // data offset: frame byte 7 + offset
};

constexpr int kSettingCount = 19;
constexpr int kSettingsSize = 22;
// The settings read answer is 30 bytes: its 21 data bytes are the block's first 21 bytes
// (everything but "Przypominanie o raporcie dobowym").
constexpr int kSettingsAnswerSize = 30;
constexpr int kSettingsReported = 21;

const std::array<SettingField, kSettingCount>& settingFields();
// Index of the field with this key, or -1.
int settingIndex(const QString& key);

// What the form's controls hold: the item index of every drop-down, the text of every
// number field (the other entry of each field is unused). A new form has index 0 and empty
// texts.
struct SettingsValues {
    std::array<int, kSettingCount> choice{};
    std::array<QString, kSettingCount> number;
};

// The 22 bytes of the block; nothing and the conversion message in `error` when a number
// field is empty or not an integer ("'12a' nie jest poprawną liczbą całkowitą."), or holds a
// value its bytes cannot carry: a byte field outside 0..255, a negative receipt limit
// ("Wartość '300' w polu „…” jest poza zakresem 0-255.").
std::optional<QByteArray> settingsBytes(const SettingsValues& values, QString* error = nullptr);

// The reported bytes put back into the controls' values: drop-down indexes (a value without
// an item leaves the control as it was) and number texts. Byte 21 is not reported.
void applySettingsAnswer(QByteArrayView data, SettingsValues& values);

// Sets one value from the command line: a drop-down by item text or by index, a number
// field by its text (checked when the block is built). False for an unknown item.
bool setSettingValue(SettingsValues& values, int index, const QString& value);
// The value's text: the item of a drop-down, the text of a number field.
QString settingText(const SettingsValues& values, int index);

// Builds the block and sends the settings frame (the conversion message is shown and
// nothing is sent when a field does not convert). The register's answer is then read:
// true when it confirmed; its device error or "Brak odpowiedzi kasy." is shown otherwise.
bool sendSettings(Link& link, TransferUi& ui, const SettingsValues& values);

// "Odśwież": sends the settings read request (command 3, parameter 1) to the register's
// address and reads the 30-byte answer through read answer; on success the values are filled
// from it.
bool readSettings(Link& link, TransferUi& ui, SettingsValues& values);
// The same answer's 21 reported bytes as they came.
std::optional<QByteArray> readSettingsBlock(Link& link, TransferUi& ui);

} // namespace service
