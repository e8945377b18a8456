#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <map>
#include <set>
#include <utility>
#include <vector>

// What the passes of a table read have brought. The register sends the records of a table in
// record order, skipping free slots, and numbers the frames of a pass 1, 2, 3...; a pass is
// read again from its first frame. A record is known by its own number; two records that came
// in neighbouring frames of one pass have nothing between them, so the table is whole once
// every neighbour from the first frame to the one with the end marker has been seen so.
namespace tableread {

// One pass: the frames that came good, by their sequence number.
class Pass {
public:
    struct Frame {
        int record = 0;
        QByteArray data;
    };

    // A frame that came with a good check byte. It is kept when its sequence number and record
    // number fit those kept so far (records grow with the sequence); false when it does not
    // fit, and then it counts as damaged at the position the pass expected.
    bool take(int sequence, int record, const QByteArray& data, bool last);
    // A frame that failed its check: it stood at the next position.
    void skip();

    int next() const { return m_next; }
    // The frame with the end marker came good: the pass saw the whole table.
    bool reachedEnd() const { return m_end > 0; }
    int end() const { return m_end; }
    int damaged() const { return m_damaged; }
    const std::map<int, Frame>& frames() const { return m_frames; }

private:
    bool fits(int sequence, int record) const;

    std::map<int, Frame> m_frames; // by sequence number
    int m_next = 1;
    int m_end = 0;
    int m_damaged = 0;
};

// Records and positions still missing: the numbers where they can be told, else where they lie.
struct Missing {
    struct Gap {
        int after = 0;  // the record before the gap; 0 at the start of the table
        int before = 0; // the record after it; 0 when the rest of the table is unknown
        int count = 0;  // records in the gap, 0 when not known
    };
    QList<int> numbers;
    QList<Gap> gaps;
    bool nothingKnown = false; // frames came, but none of them good
    bool empty() const { return numbers.isEmpty() && gaps.isEmpty() && !nothingKnown; }
};

// "Nie odczytano rekordów: nr 12, 14-16, 2 po rekordzie 40, po rekordzie 1990."
QString missingText(const Missing& missing);
// "Odczytano ponownie 3 ramki."; empty for none.
QString rereadText(int frames);

// Every pass of one read together.
class Passes {
public:
    void add(const Pass& pass);
    // Every record from the first to the last is known and none is in doubt.
    bool whole() const;
    // The records whose content is settled: the one copy that came, or the copy most passes
    // agree on when two copies differ (a damage the check byte could not see).
    std::map<int, QByteArray> records() const;
    // Record numbers seen, settled or not.
    int known() const { return int(m_copies.size()); }
    // Some pass received a frame, good or damaged.
    bool framesCame() const { return m_framesCame; }
    std::set<int> settled() const;
    Missing missing() const;

private:
    struct Copy {
        QByteArray data;
        int passes = 0;
    };
    static constexpr int Last = 0x7FFFFFFF; // stands for the end of the table in a link
    const QByteArray* winner(int record) const;
    bool linked(int a, int b) const { return m_links.count({a, b}) > 0; }

    std::map<int, std::vector<Copy>> m_copies;
    std::set<std::pair<int, int>> m_links;        // neighbours in some pass
    std::map<std::pair<int, int>, int> m_between; // frames between two records in some pass
    bool m_framesCame = false;
};

} // namespace tableread
