#pragma once

#include <QString>

#include <deque>

class Link;

// A programming run on a poor line. A frame whose answer shows the line's damage (nothing
// valid came back, or the register reports a frame it could not take as sent: a wrong check
// byte, length, start or end byte or frame number) is sent again, as the first frame of a new,
// correctly numbered run that goes on from that record. A refusal for the record's content is
// never sent again. The run gives up only when one record was damaged five times in a row, or
// when more than half of the last twenty frames were damaged: such a line cannot be trusted.
namespace linedamage {

// The register's codes for a frame it received damaged.
bool damagedFrameCode(int deviceError);

// The answer to a programming frame (a confirmation wait's result, its frame in the receive
// area) shows the line's damage rather than the register's decision. An error frame that
// fails its own check byte is damage too: its code cannot be believed.
bool damagedAnswer(Link& link, int waitResult);

class ResendGuard {
public:
    static constexpr int AttemptsPerRecord = 5;
    static constexpr int Window = 20;
    enum class Verdict {
        GoOn,         // the frame was answered: on to the next record
        Resend,       // damaged: the same record again, as a new run
        RecordFailed, // the record was damaged every time it went
        LineUnusable, // the line damages most frames
    };

    // After each frame's answer.
    Verdict answered(bool damaged);
    // Frames sent again so far.
    int resent() const { return m_resent; }

private:
    int m_attempts = 0; // of the record in hand
    std::deque<bool> m_window;
    int m_resent = 0;
};

// What a run that gave up says about the line.
QString recordFailedText(int attempts);
QString lineUnusableText();
// The frame trace's note of a record sent again: "ponowne wysłanie rekordu 12".
QString resendNote(int record);
// " Ramki wysłane ponownie: 3." for a run that resent any; empty otherwise.
QString resentText(int resent);

} // namespace linedamage
