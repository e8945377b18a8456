#include "tablepasses.h"

#include <QStringList>

#include <algorithm>

namespace tableread {

bool Pass::fits(int sequence, int record) const
{
    // Records are distinct numbers from 1 that grow with the sequence: record r at frame s
    // leaves room for the s - 1 records before it only if r >= s, and likewise between any
    // two frames of the pass.
    if (sequence < 1 || record < sequence || (m_end > 0 && sequence > m_end))
        return false;
    const auto above = m_frames.upper_bound(sequence);
    if (above != m_frames.end() && above->second.record - record < above->first - sequence)
        return false;
    auto below = m_frames.lower_bound(sequence);
    if (below != m_frames.begin()) {
        --below;
        if (record - below->second.record < sequence - below->first)
            return false;
    }
    return true;
}

bool Pass::take(int sequence, int record, const QByteArray& data, bool last)
{
    const auto same = m_frames.find(sequence);
    if (same != m_frames.end()) {
        // The register sent a frame again (after an acknowledgement of ours was lost). Two
        // different frames under one number: neither can be believed.
        if (same->second.record != record || same->second.data != data) {
            m_frames.erase(same);
            ++m_damaged;
            m_next = sequence + 1;
            return false;
        }
    } else if (!fits(sequence, record) ||
               (last && m_frames.upper_bound(sequence) != m_frames.end())) {
        skip();
        return false;
    } else {
        m_frames[sequence] = Frame{record, data};
    }
    m_next = sequence + 1;
    if (last)
        m_end = sequence;
    return true;
}

void Pass::skip()
{
    ++m_damaged;
    ++m_next;
}

void Passes::add(const Pass& pass)
{
    if (!pass.frames().empty() || pass.damaged() > 0)
        m_framesCame = true;
    int prevSequence = 0, prevRecord = 0;
    for (const auto& [sequence, frame] : pass.frames()) {
        std::vector<Copy>& copies = m_copies[frame.record];
        // The data captured by name: clang 14 cannot capture a structured binding.
        const auto it =
            std::find_if(copies.begin(), copies.end(),
                         [&data = frame.data](const Copy& c) { return c.data == data; });
        if (it != copies.end())
            ++it->passes;
        else
            copies.push_back(Copy{frame.data, 1});
        if (sequence == prevSequence + 1)
            m_links.insert({prevRecord, frame.record});
        else
            m_between[{prevRecord, frame.record}] = sequence - prevSequence - 1;
        prevSequence = sequence;
        prevRecord = frame.record;
    }
    if (pass.reachedEnd())
        m_links.insert({prevRecord, Last});
}

const QByteArray* Passes::winner(int record) const
{
    const auto it = m_copies.find(record);
    if (it == m_copies.end() || it->second.empty())
        return nullptr;
    const Copy* best = nullptr;
    bool tie = false;
    for (const Copy& c : it->second) {
        if (!best || c.passes > best->passes) {
            best = &c;
            tie = false;
        } else if (c.passes == best->passes) {
            tie = true;
        }
    }
    return tie ? nullptr : &best->data;
}

namespace {

// Neighbours (a, b) of the known records, in order, from the start (0) to the end (last).
std::vector<std::pair<int, int>> neighbours(const std::set<int>& known, int last)
{
    std::vector<std::pair<int, int>> pairs;
    int prev = 0;
    for (int r : known) {
        pairs.emplace_back(prev, r);
        prev = r;
    }
    pairs.emplace_back(prev, last);
    return pairs;
}

} // namespace

Missing Passes::missing() const
{
    Missing m;
    std::set<int> known;
    for (const auto& entry : m_copies)
        known.insert(entry.first);
    if (known.empty()) {
        m.nothingKnown = m_framesCame;
        if (!m_framesCame)
            m.gaps.append({0, 0, 0});
        return m;
    }
    // A stretch of frames between two records of one pass is known whole when as many
    // records as there were frames are known between them (from other passes).
    std::set<std::pair<int, int>> closed;
    for (const auto& [span, count] : m_between) {
        const auto from = known.upper_bound(span.first);
        const auto to = known.lower_bound(span.second);
        if (std::distance(from, to) != count)
            continue;
        int prev = span.first;
        for (auto it = from; it != to; ++it) {
            closed.insert({prev, *it});
            prev = *it;
        }
        closed.insert({prev, span.second});
    }
    for (const auto& [a, b] : neighbours(known, Last)) {
        if (linked(a, b) || closed.count({a, b}) > 0 || (b != Last && b == a + 1))
            continue;
        if (b == Last) {
            m.gaps.append({a, 0, 0});
            continue;
        }
        const auto it = m_between.find({a, b});
        const int count = it == m_between.end() ? 0 : it->second;
        if (count > 0 && count == b - a - 1) {
            for (int n = a + 1; n < b; ++n)
                m.numbers.append(n);
        } else {
            m.gaps.append({a, b, count});
        }
    }
    for (int r : known)
        if (!winner(r))
            m.numbers.append(r);
    std::sort(m.numbers.begin(), m.numbers.end());
    return m;
}

bool Passes::whole() const
{
    return !m_copies.empty() && missing().empty();
}

std::map<int, QByteArray> Passes::records() const
{
    std::map<int, QByteArray> out;
    for (const auto& entry : m_copies)
        if (const QByteArray* data = winner(entry.first))
            out[entry.first] = *data;
    return out;
}

std::set<int> Passes::settled() const
{
    std::set<int> out;
    for (const auto& entry : m_copies)
        if (winner(entry.first))
            out.insert(entry.first);
    return out;
}

namespace {

// "12", "14-16": runs of consecutive numbers.
QStringList ranges(const QList<int>& numbers)
{
    QStringList out;
    for (int i = 0; i < numbers.size();) {
        int j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
            ++j;
        out << (i == j ? QString::number(numbers[i])
                       : QString::number(numbers[i]) + u'-' + QString::number(numbers[j]));
        i = j + 1;
    }
    return out;
}

QString gapText(const Missing::Gap& g)
{
    const QString count = g.count > 0 ? QString::number(g.count) + u' ' : QString();
    if (g.after == 0)
        return count + QStringLiteral("przed rekordem ") + QString::number(g.before);
    return count + QStringLiteral("po rekordzie ") + QString::number(g.after);
}

} // namespace

QString missingText(const Missing& missing)
{
    if (missing.empty())
        return {};
    if (missing.nothingKnown || (missing.numbers.isEmpty() && missing.gaps.size() == 1 &&
                                 missing.gaps[0].after == 0 && missing.gaps[0].before == 0))
        return QStringLiteral("Nie odczytano żadnego rekordu.");
    QStringList items = ranges(missing.numbers);
    if (!items.isEmpty())
        items.front().prepend(QStringLiteral("nr "));
    for (const Missing::Gap& g : missing.gaps)
        items << gapText(g);
    // A line a person can read: the first places, then how many more there are.
    constexpr int Shown = 12;
    QString list = items.mid(0, Shown).join(QStringLiteral(", "));
    if (items.size() > Shown)
        list += QStringLiteral(" i ") + QString::number(items.size() - Shown) +
                QStringLiteral(" dalszych");
    return QStringLiteral("Nie odczytano rekordów: ") + list + u'.';
}

QString rereadText(int frames)
{
    if (frames <= 0)
        return {};
    const int tens = frames % 100, ones = frames % 10;
    const char* noun = frames == 1                                            ? "ramkę"
                       : (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14)) ? "ramki"
                                                                              : "ramek";
    return QStringLiteral("Odczytano ponownie ") + QString::number(frames) + u' ' +
           QString::fromUtf8(noun) + u'.';
}

} // namespace tableread
