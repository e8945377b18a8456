#include "commandrun.h"

#ifdef VDUNO_HAS_LINK
#include "clilink.h"

#include "link/link.h"
#endif

#include <QJsonArray>
#include <QJsonDocument>

namespace cli {

namespace {

// Failed without a register: the port did not open, or it opened and no byte came back.
bool noRegister(CliContext& context)
{
    if (context.linkFailed)
        return true;
#ifdef VDUNO_HAS_LINK
    const Link& link = commandLink(context);
    return link.opens() > 0 && link.bytesRead() == 0;
#else
    return false;
#endif
}

} // namespace

QJsonObject resultDocument(const QString& command, int exit, const OutputCapture& capture)
{
    QJsonArray errors;
    for (const QString& e : capture.errors)
        errors.append(QJsonObject{{QStringLiteral("message"), e}, {QStringLiteral("code"), exit}});
    QJsonObject document{{QStringLiteral("command"), command},
                         {QStringLiteral("ok"), exit == ExitOk},
                         {QStringLiteral("exit"), exit},
                         {QStringLiteral("output"), QJsonArray::fromStringList(capture.lines)},
                         {QStringLiteral("errors"), errors}};
    for (auto it = capture.fields.begin(); it != capture.fields.end(); ++it)
        document.insert(it.key(), it.value());
    return document;
}

int runCommand(const CliCommand& command, const CliArgs& args, CliContext& context)
{
    // On a chain the register's capture is set already; the chain makes its document.
    const bool ownCapture = context.json && !context.link;
    OutputCapture capture;
    if (ownCapture)
        captureOutput(&capture);
    int exit = command.run(args, context);
    if (exit == ExitFailure && noRegister(context))
        exit = ExitNoRegister;
    if (ownCapture) {
        captureOutput(nullptr);
        if (!capture.json.isEmpty())
            std::fwrite(capture.json.constData(), 1, size_t(capture.json.size()), stdout);
        else if (exit != ExitUsage)
            outJson(QJsonDocument(resultDocument(QString::fromUtf8(command.name), exit, capture)));
        std::fflush(stdout);
    }
    return exit;
}

} // namespace cli
