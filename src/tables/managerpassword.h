#pragma once

#include <QString>

class Link;
class TransferUi;

// Changing the manager's password: the "H" frame of 30 bytes with the old and the new
// password, ten characters each, and the confirm byte.
namespace recordsend {
struct OutcomeTexts;
}

namespace managerpassword {

inline constexpr int Width = 10;

// The form brings a password to ten characters by inserting spaces before its last character
// ("abc" becomes "ab", seven spaces, "c"); an empty one becomes ten spaces, a longer one is
// cut to ten.
QString padded(const QString& password);

// "Wyslij": drain and the "H" frame (sequence 0x8001) with both passwords padded (the register
// checks the old password itself). Without awaiting the answer, returns the send result (0
// sent); awaiting it, the confirmation wait's result (once more after a busy answer) or a
// recordsend::Status. -1 with the field's refusal shown when a password has characters outside
// cp1250.
int send(Link& link, TransferUi& ui, const QString& oldPassword, const QString& newPassword,
         bool confirm, bool awaitAnswer = false);
// What the user is told of the register's answer to the new password.
recordsend::OutcomeTexts sendTexts();

} // namespace managerpassword
