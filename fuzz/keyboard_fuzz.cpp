// The keyboard template's design file. A file that is refused leaves the design on the form
// as it was and says why; a design that is taken saves to a file that loads back to the very
// same texts and colours.
#include "fuzzcheck.h"
#include "printing/keyboard.h"

#include <QByteArray>

#include <cstdint>

using fuzzcheck::check;

namespace {

bool sameDesign(const keyboard::Design& a, const keyboard::Design& b)
{
    for (int i = 0; i < keyboard::KeyCount; ++i) {
        const keyboard::KeyTemplate& x = a.keys[size_t(i)];
        const keyboard::KeyTemplate& y = b.keys[size_t(i)];
        if (x.upper != y.upper || x.middle != y.middle || x.lower != y.lower ||
            x.upperColor != y.upperColor || x.middleColor != y.middleColor ||
            x.lowerColor != y.lowerColor || x.background != y.background)
            return false;
    }
    return a.arrowColors == b.arrowColors;
}

// The design on the form before the file is loaded: not the default one, so that a partial
// load would show.
keyboard::Design onTheForm()
{
    keyboard::Design d = keyboard::defaultDesign();
    d.keys[0].upper = QStringLiteral("Ser żółty");
    d.keys[5].background = QColor(0x12, 0x34, 0x56);
    d.arrowColors[2] = Qt::red;
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzcheck::application();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const keyboard::Design before = onTheForm();
    keyboard::Design design = before;
    const QString error = keyboard::deserialize(bytes, design);
    if (!error.isEmpty()) {
        check(sameDesign(design, before), "a refused file changed the design");
        check(!fuzzcheck::hasControl(error), "a control character in the refusal");
        return 0;
    }
    for (const keyboard::KeyTemplate& k : design.keys)
        check(k.upper.size() <= keyboard::MaxTextLength &&
                  k.middle.size() <= keyboard::MaxTextLength &&
                  k.lower.size() <= keyboard::MaxTextLength,
              "a text longer than a key holds");

    const QByteArray saved = keyboard::serialize(design);
    keyboard::Design loaded = before;
    check(keyboard::deserialize(saved, loaded).isEmpty(), "a saved design is refused");
    check(sameDesign(loaded, design), "a saved design loads back different");
    check(keyboard::serialize(loaded) == saved, "the design saved again differs");
    return 0;
}
