// vduno settings get | settings send KEY=VALUE...: the register's operating settings block.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/link.h"
#include "service/settings.h"

#include <QJsonObject>

namespace {

using namespace service;

QStringList details()
{
    QStringList lines{
        QStringLiteral("send odczytuje najpierw ustawienia z kasy, zmienia podane pola i wysyła "
                       "cały blok."),
        QStringLiteral("Kasa nie podaje pola przypominanie_raport: bez klucza wysyłane jest "
                       "\"wyłączone\"."),
        QStringLiteral("Klucze:")};
    for (const SettingField& f : settingFields()) {
        QString line =
            QStringLiteral("  ") + QLatin1String(f.key) + QStringLiteral(" — ") + f.caption;
        if (!f.items.isEmpty())
            line += QStringLiteral(": ") + f.items.join(QStringLiteral(" | "));
        lines << line;
    }
    return lines;
}

QStringList words()
{
    QStringList list{QStringLiteral("get"), QStringLiteral("send")};
    for (const SettingField& f : settingFields())
        list << QLatin1String(f.key) + u'=';
    return list;
}

void print(const SettingsValues& values, bool withReminder)
{
    const auto& fields = settingFields();
    QJsonObject json;
    for (int i = 0; i < kSettingCount; ++i) {
        if (!withReminder && fields[size_t(i)].offset >= kSettingsReported)
            continue;
        cli::out(QLatin1String(fields[size_t(i)].key) + QLatin1Char('=') + settingText(values, i) +
                 QStringLiteral("  (") + fields[size_t(i)].caption + QLatin1Char(')'));
        json.insert(QLatin1String(fields[size_t(i)].key), settingText(values, i));
    }
    cli::jsonField(QStringLiteral("settings"), json);
}

int runSettings(const CliArgs& parsed, CliContext& context)
{
    QStringList args = parsed.positional;
    const QString sub = args.isEmpty() ? QString() : args.takeFirst();
    const bool get = sub == QLatin1String("get");
    if ((!get && sub != QLatin1String("send")) || (get && !args.isEmpty()) ||
        (!get && args.isEmpty()))
        return cli::usage(context);
    // The changes are checked before anything is sent.
    QList<std::pair<int, QString>> changes;
    for (const QString& a : args) {
        const qsizetype eq = a.indexOf(u'=');
        const int index = eq > 0 ? settingIndex(a.left(eq)) : -1;
        SettingsValues probe;
        if (index < 0 || !setSettingValue(probe, index, a.mid(eq + 1))) {
            return cli::usage(context, QStringLiteral("Nieznane ustawienie lub wartość: ") + a);
        }
        changes.append({index, a.mid(eq + 1)});
    }
    Link& link = cli::commandLink(context);
    TransferUi& ui = *context.ui;
    if (!cli::openLink(context, link, ui))
        return ExitFailure;
    SettingsValues values;
    bool ok = readSettings(link, ui, values);
    if (ok && get)
        print(values, false);
    if (ok && !get) {
        for (const auto& [index, value] : changes)
            setSettingValue(values, index, value);
        ok = sendSettings(link, ui, values);
        if (ok)
            print(values, true);
    }
    link.closePort();
    return ok ? ExitOk : ExitFailure;
}

} // namespace

VDUNO_COMMAND(settings, {"settings",
                         CommandGroup::Register,
                         "get | send KLUCZ=WARTOŚĆ...",
                         "ustawienia kasy",
                         {},
                         {"--device /dev/ttyUSB0 settings get --json",
                          "--device /dev/ttyUSB0 settings send numer_kasy=4 czas_uspienia=3"},
                         runSettings,
                         details,
                         words})
