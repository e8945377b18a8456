#include "code128.h"

namespace code128 {

namespace {

// Bar and space widths of symbol values 0..105, bar first, eleven modules each.
constexpr const char* Widths[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232",
};

struct Patterns {
    char text[106][12];
    Patterns()
    {
        for (int v = 0; v < 106; ++v) {
            int n = 0;
            for (int k = 0; k < 6; ++k)
                for (int w = 0; w < Widths[v][k] - '0'; ++w)
                    text[v][n++] = (k % 2 == 0) ? '1' : '0';
            text[v][n] = '\0';
        }
    }
};

const Patterns& patterns()
{
    static const Patterns table;
    return table;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isControl(char c)
{
    return static_cast<unsigned char>(c) < 32;
}
bool isLower(char c)
{
    return static_cast<unsigned char>(c) >= 96;
} // 96..127

int digitRun(const QByteArray& text, int p)
{
    int n = 0;
    while (p + n < text.size() && isDigit(text[p + n]))
        ++n;
    return n;
}

int switchTo(int start)
{
    return start == StartA ? CodeA : start == StartB ? CodeB : CodeC;
}

int valueIn(int set, char ch)
{
    const int c = static_cast<unsigned char>(ch);
    if (set == StartA)
        return isControl(ch) ? c + 64 : c - 32;
    return c - 32;
}

} // namespace

const char* pattern(int value)
{
    if (value < 0 || value > 105)
        return "";
    return patterns().text[value];
}

int chooseSet(const QByteArray& text, int p)
{
    if (digitRun(text, p) >= 5)
        return StartC;
    bool marked = false;
    for (int i = p + 1; i < text.size(); ++i) {
        if (!isLower(text[i]))
            continue;
        if (!isControl(text[i - 1]))
            return StartB;
        marked = true;
    }
    return marked ? StartA : StartB;
}

int checkSymbol(int start, const std::vector<int>& data)
{
    long sum = start;
    for (std::size_t i = 0; i < data.size(); ++i)
        sum += static_cast<long>(i + 1) * data[i];
    return static_cast<int>(sum % 103);
}

Symbols encode(const QByteArray& text)
{
    Symbols s;
    if (text.isEmpty())
        return s;
    for (char c : text)
        if (static_cast<unsigned char>(c) > 127)
            return s; // Code 128 has no symbols for these bytes; no bars

    int set = chooseSet(text, 0);
    s.start = set;
    int held = -1; // first digit of a pair in set C, times ten
    const int n = static_cast<int>(text.size());
    for (int p = 0; p < n; ++p) {
        const char c = text[p];
        const bool nextIsDigit = p + 1 < n && isDigit(text[p + 1]);
        const bool nextIsLower = p + 1 < n && isLower(text[p + 1]);
        if (p > 0) {
            if (set == StartC && held < 0 && isDigit(c) && !nextIsDigit) {
                // A lone digit closes the run: it goes into the set chosen here.
                set = chooseSet(text, p);
                s.data.push_back(switchTo(set));
            } else if (set != StartC && isDigit(c) && digitRun(text, p) >= 5 &&
                       digitRun(text, p) % 2 == 0) {
                s.data.push_back(CodeC);
                set = StartC;
            } else if (set == StartC && !isDigit(c)) {
                set = chooseSet(text, p);
                s.data.push_back(switchTo(set));
            }
        }
        if (set == StartC) {
            if (held < 0) {
                held = 10 * (c - '0');
            } else {
                s.data.push_back(held + (c - '0'));
                held = -1;
            }
            continue;
        }
        if (set == StartB && isControl(c)) {
            if (nextIsLower) {
                s.data.push_back(Shift);
                s.data.push_back(valueIn(StartA, c));
                continue;
            }
            // Set B has no control characters: go over to A for good.
            set = StartA;
            s.data.push_back(CodeA);
        } else if (set == StartA && isLower(c)) {
            // Set A has no lower case: this one character is shifted into B.
            s.data.push_back(Shift);
            s.data.push_back(valueIn(StartB, c));
            continue;
        }
        s.data.push_back(valueIn(set, c));
    }
    if (held >= 0) {
        // Cannot happen with the set choice above (a run ends with a lone digit
        // only outside C), but an odd digit must never be lost.
        const int digit = held / 10;
        set = StartB;
        s.data.push_back(CodeB);
        s.data.push_back(digit + 16);
    }
    s.check = checkSymbol(s.start, s.data);
    s.valid = true;
    return s;
}

int moduleWidth(int dataCount)
{
    return FitBits / (11 * dataCount + 55);
}

QByteArray moduleString(const Symbols& symbols)
{
    if (!symbols.valid)
        return {};
    const int d = static_cast<int>(symbols.data.size());
    const int m = moduleWidth(d);
    if (m == 0)
        return {};
    const int margin = ((RowBits / m) - (11 * d + 55)) / 2;
    QByteArray out(margin + 10, '0');
    out += pattern(symbols.start);
    for (int v : symbols.data)
        out += pattern(v);
    out += pattern(symbols.check);
    out += StopPattern;
    out += QByteArray(10, '0');
    return out;
}

Row bitRow(const Symbols& symbols)
{
    Row row{};
    const QByteArray modules = moduleString(symbols);
    if (modules.isEmpty())
        return row;
    const int m = moduleWidth(static_cast<int>(symbols.data.size()));
    int bitIndex = 0;
    for (char module : modules) {
        for (int r = 0; r < m && bitIndex < RowBits; ++r, ++bitIndex)
            if (module == '1')
                row[bitIndex / 8] |= static_cast<std::uint8_t>(0x80 >> (bitIndex % 8));
    }
    return row;
}

} // namespace code128
