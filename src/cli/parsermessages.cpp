#include "parsermessages.h"

#include <QCoreApplication>

#include <cstring>

namespace cli {

void ParserMessages::install()
{
    static ParserMessages* installed = nullptr;
    if (installed || !QCoreApplication::instance())
        return;
    installed = new ParserMessages;
    QCoreApplication::installTranslator(installed);
}

QString ParserMessages::translate(const char* context, const char* sourceText, const char*,
                                  int) const
{
    if (!context || !sourceText || std::strcmp(context, "QCommandLineParser") != 0)
        return {};
    struct Message {
        const char* english;
        const char* polish;
    };
    static const Message messages[] = {
        {"Unknown option '%1'.", "Nieznana opcja „%1”."},
        {"Unknown options: %1.", "Nieznane opcje: %1."},
        {"Missing value after '%1'.", "Brak wartości po „%1”."},
        {"Unexpected value after '%1'.", "Opcja „%1” nie przyjmuje wartości."},
    };
    for (const Message& m : messages)
        if (std::strcmp(sourceText, m.english) == 0)
            return QString::fromUtf8(m.polish);
    return {};
}

} // namespace cli
