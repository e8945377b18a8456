#include "command.h"

#include <QJsonDocument>

#include <cstdio>

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

QString takeOption(QStringList& args, const QString& name, bool* missingValue)
{
    if (missingValue)
        *missingValue = false;
    const qsizetype i = args.indexOf(name);
    if (i < 0)
        return {};
    if (i + 1 >= args.size()) {
        args.removeAt(i);
        if (missingValue)
            *missingValue = true;
        return {};
    }
    const QString value = args.at(i + 1);
    args.remove(i, 2);
    return value;
}

bool takeFlag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

void out(const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void err(const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

void outJson(const QJsonDocument& document)
{
    const QByteArray bytes = document.toJson(QJsonDocument::Indented);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace cli
