#include "command.h"

#include <QJsonDocument>

#include <cstdio>
#include <mutex>

bool CommandRegistry::add(const CliCommand& command)
{
    const_cast<std::vector<CliCommand>&>(all()).push_back(command);
    return true;
}

const std::vector<CliCommand>& CommandRegistry::all()
{
    static std::vector<CliCommand> commands;
    return commands;
}

const CliCommand* CommandRegistry::find(const QString& name)
{
    for (const CliCommand& c : all())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

namespace cli {

QString usageLine(const CliCommand& command)
{
    const QString arguments = QString::fromUtf8(command.arguments);
    return QStringLiteral("Użycie: vduno ") + QString::fromUtf8(command.name) +
           (arguments.isEmpty() ? QString() : QString(u' ' + arguments)) +
           QStringLiteral(" [opcje]");
}

int usage(const CliContext& context, const QString& problem)
{
    if (!problem.isEmpty())
        err(problem);
    if (const CliCommand* c = context.command) {
        err(usageLine(*c));
        err(QStringLiteral("Więcej: vduno ") + QString::fromUtf8(c->name) +
            QStringLiteral(" --help"));
    }
    return ExitUsage;
}

int unknownTable(const CliContext& context, const QString& table)
{
    err(QStringLiteral("Nieznana tabela: ") + table);
    if (context.command && context.command->details)
        for (const QString& line : context.command->details())
            err(line);
    return usage(context);
}

namespace {
thread_local OutputCapture* t_capture = nullptr;
std::mutex g_stderr;
} // namespace

void captureOutput(OutputCapture* capture)
{
    t_capture = capture;
}

void errRaw(const QByteArray& bytes)
{
    std::lock_guard<std::mutex> lock(g_stderr);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void out(const QString& line)
{
    if (t_capture) {
        t_capture->lines.append(line);
        return;
    }
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void err(const QString& line)
{
    const QString prefix = t_capture ? t_capture->prefix : QString();
    if (t_capture && !line.isEmpty()) {
        t_capture->lastError = line;
        t_capture->errors.append(line);
    }
    QString text;
    for (const QString& part : line.split(u'\n'))
        text += prefix + part + QLatin1Char('\n');
    errRaw(text.toLocal8Bit());
}

void outJson(const QJsonDocument& document)
{
    const QByteArray bytes = document.toJson(QJsonDocument::Indented);
    if (t_capture) {
        t_capture->json = bytes;
        return;
    }
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace cli

namespace cli {
void jsonField(const QString& key, const QJsonValue& value)
{
    if (t_capture)
        t_capture->fields.insert(key, value);
}
} // namespace cli
