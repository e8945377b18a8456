#include "linedamage.h"

#include "answers.h"
#include "frame.h"
#include "link.h"

#include <algorithm>

namespace linedamage {

bool damagedFrameCode(int deviceError)
{
    // 1 check byte, 2 length, 3 start or end byte, 4 frame number.
    return deviceError >= 1 && deviceError <= 4;
}

namespace {
// A whole frame of `length` bytes in the receive area, its check byte right.
bool intact(Link& link, int length)
{
    const QByteArrayView f = link.received(length);
    return f[0] == frame::Start && frame::u16(f, 2) == length && f[length - 1] == frame::End &&
           frame::checkByte(f) == quint8(f[length - 2]);
}
} // namespace

bool damagedAnswer(Link& link, int waitResult)
{
    // No valid answer: damage, unless a whole frame of the register's own came that was no
    // acceptance (it refuses the record that way too).
    if (waitResult == answers::NoAnswer)
        return !intact(link, 10);
    // The error frame is 11 bytes; the wait took it without looking at its check byte.
    if (waitResult == answers::DeviceError)
        return !intact(link, 11) || damagedFrameCode(link.at(8));
    return false;
}

ResendGuard::Verdict ResendGuard::answered(bool damaged)
{
    m_window.push_back(damaged);
    if (int(m_window.size()) > Window)
        m_window.pop_front();
    if (!damaged) {
        m_attempts = 0;
        return Verdict::GoOn;
    }
    ++m_attempts;
    const auto bad = std::count(m_window.begin(), m_window.end(), true);
    if (bad * 2 > Window)
        return Verdict::LineUnusable;
    if (m_attempts >= AttemptsPerRecord)
        return Verdict::RecordFailed;
    ++m_resent;
    return Verdict::Resend;
}

QString recordFailedText(int attempts)
{
    return QStringLiteral("Kasa nie odpowiedziała poprawnie na ") + QString::number(attempts) +
           QStringLiteral(" kolejnych prób wysłania tego samego rekordu.");
}

QString lineUnusableText()
{
    return QStringLiteral("Łącze uszkadza większość ramek i nie nadaje się do programowania "
                          "kasy. Sprawdź kabel i port (Komunikacja > Diagnostyka łącza, vduno "
                          "doctor).");
}

QString resendNote(int record)
{
    return QStringLiteral("ponowne wysłanie rekordu ") + QString::number(record);
}

QString resentText(int resent)
{
    return resent > 0 ? QStringLiteral(" Ramki wysłane ponownie: ") + QString::number(resent) +
                            QLatin1Char('.')
                      : QString();
}

} // namespace linedamage
