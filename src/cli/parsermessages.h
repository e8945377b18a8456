#pragma once

#include <QTranslator>

namespace cli {

// Qt's command-line parser says what it did not understand in English; this gives its few
// messages in Polish, the language of the rest of the program.
class ParserMessages : public QTranslator {
public:
    // Installed once into the application (when there is one).
    static void install();

    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override;
};

} // namespace cli
