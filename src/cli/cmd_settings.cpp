// vduno settings get | settings send KEY=VALUE...: the register's operating settings block.
#include "clilink.h"
#include "cliui.h"
#include "command.h"

#include "link/link.h"
#include "service/settings.h"

namespace {

using namespace service;

QString usage()
{
    QString text = QStringLiteral(
        "Użycie: vduno [opcje łącza] settings get\n"
        "        vduno [opcje łącza] settings send KLUCZ=WARTOŚĆ...\n"
        "send odczytuje najpierw ustawienia z kasy, zmienia podane pola i wysyła cały blok.\n"
        "Kasa nie podaje pola przypominanie_raport: bez klucza wysyłane jest \"wyłączone\".\n"
        "Klucze:");
    for (const SettingField& f : settingFields()) {
        text += QStringLiteral("\n  ") + QLatin1String(f.key) + QStringLiteral(" — ") + f.caption;
        if (!f.items.isEmpty())
            text += QStringLiteral(": ") + f.items.join(QStringLiteral(" | "));
    }
    return text;
}

void print(const SettingsValues& values, bool withReminder)
{
    const auto& fields = settingFields();
    for (int i = 0; i < kSettingCount; ++i) {
        if (!withReminder && fields[size_t(i)].offset >= kSettingsReported)
            continue;
        cli::out(QLatin1String(fields[size_t(i)].key) + QLatin1Char('=') + settingText(values, i) +
                 QStringLiteral("  (") + fields[size_t(i)].caption + QLatin1Char(')'));
    }
}

int runSettings(const QStringList& arguments, CliContext& context)
{
    QStringList args = arguments;
    const QString sub = args.isEmpty() ? QString() : args.takeFirst();
    const bool get = sub == QLatin1String("get");
    if ((!get && sub != QLatin1String("send")) || (get && !args.isEmpty()) ||
        (!get && args.isEmpty())) {
        cli::err(usage());
        return ExitUsage;
    }
    // The changes are checked before anything is sent.
    QList<std::pair<int, QString>> changes;
    for (const QString& a : args) {
        const qsizetype eq = a.indexOf(u'=');
        const int index = eq > 0 ? settingIndex(a.left(eq)) : -1;
        SettingsValues probe;
        if (index < 0 || !setSettingValue(probe, index, a.mid(eq + 1))) {
            cli::err(QStringLiteral("Nieznane ustawienie lub wartość: ") + a);
            cli::err(usage());
            return ExitUsage;
        }
        changes.append({index, a.mid(eq + 1)});
    }
    Link& link = Link::instance();
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

VDUNO_COMMAND(settings, "settings get | settings send KLUCZ=WARTOŚĆ...: ustawienia kasy",
              runSettings)
