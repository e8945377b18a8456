// The shells' completions of vduno, written from the definitions of its commands and
// options, so that they always offer what the program takes.
#include "commandline.h"

#include <algorithm>

namespace cli {

namespace {

struct Flat {
    QString name;  // long name
    QString small; // short name or empty
    bool value = false;
    bool file = false; // its value is a file or a device
    QString description;
};

Flat flat(const CliOption& o)
{
    Flat f;
    const QStringList names = QString::fromUtf8(o.names).split(u',');
    f.name = names.last();
    f.small = names.size() > 1 ? names.first() : QString();
    f.value = o.valueName != nullptr;
    const QString v = QString::fromUtf8(o.valueName ? o.valueName : "");
    f.file = v.startsWith(QLatin1String("PLIK")) || v == QLatin1String("ŚCIEŻKA") ||
             v.startsWith(QLatin1String("WYJŚCIE")) || v.startsWith(QLatin1String("KATALOG"));
    f.description = QString::fromUtf8(o.description);
    return f;
}

std::vector<Flat> shared()
{
    std::vector<Flat> all;
    for (const OptionSection& s : sharedOptions())
        for (const CliOption& o : s.options)
            all.push_back(flat(o));
    return all;
}

std::vector<const CliCommand*> commands()
{
    std::vector<const CliCommand*> list;
    for (const CliCommand& c : CommandRegistry::all())
        list.push_back(&c);
    std::sort(list.begin(), list.end(), [](const CliCommand* a, const CliCommand* b) {
        return qstrcmp(a->name, b->name) < 0;
    });
    return list;
}

QString dashed(const Flat& f)
{
    return QStringLiteral("--") + f.name;
}

QString quotedForShell(QString text)
{
    return u'\'' + text.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

QString bash()
{
    QString s = QStringLiteral(
        "# bash completion for vduno (generated from the program's own definitions)\n"
        "# Files: bash-completion's _filedir where it is installed, plain names otherwise.\n"
        "_vduno_files()\n{\n"
        "    if declare -F _filedir >/dev/null; then\n"
        "        _filedir\n"
        "    else\n"
        "        COMPREPLY+=($(compgen -f -- \"$cur\"))\n"
        "    fi\n"
        "}\n\n"
        "_vduno()\n{\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
        "    local -a words=(\"${COMP_WORDS[@]}\")\n"
        "    local cword=$COMP_CWORD\n"
        "    COMPREPLY=()\n\n");
    QStringList sharedWords, valueOptions, fileOptions;
    for (const Flat& f : shared()) {
        sharedWords << dashed(f);
        if (f.value)
            valueOptions << dashed(f);
        if (f.file)
            fileOptions << dashed(f);
    }
    QStringList names;
    for (const CliCommand* c : commands())
        names << QString::fromUtf8(c->name);
    s += QStringLiteral("    local shared=\"%1\"\n").arg(sharedWords.join(u' '));
    s += QStringLiteral("    local commands=\"%1\"\n\n").arg(names.join(u' '));
    s += QStringLiteral("    case $prev in\n");
    if (!fileOptions.isEmpty())
        s += QStringLiteral(
                 "        %1)\n            _vduno_files\n            return\n            ;;\n")
                 .arg(fileOptions.join(QStringLiteral(" | ")));
    s += QStringLiteral("        --emulator-model)\n"
                        "            COMPREPLY=($(compgen -W \"duno duno-bis\" -- \"$cur\"))\n"
                        "            return\n            ;;\n");
    QStringList plainValues;
    for (const Flat& f : shared())
        if (f.value && !f.file && f.name != QLatin1String("emulator-model"))
            plainValues << dashed(f);
    if (!plainValues.isEmpty())
        s += QStringLiteral("        %1)\n            return\n            ;;\n")
                 .arg(plainValues.join(QStringLiteral(" | ")));
    s += QStringLiteral("    esac\n\n");
    s += QStringLiteral(
             "    # The subcommand: the first word that is neither an option nor an option's "
             "value.\n"
             "    local i command=\"\"\n"
             "    for ((i = 1; i < cword; i++)); do\n"
             "        case ${words[i]} in\n"
             "            %1)\n"
             "                ((i++))\n                ;;\n"
             "            -*) ;;\n"
             "            *)\n                command=${words[i]}\n                break\n"
             "                ;;\n"
             "        esac\n"
             "    done\n\n"
             "    if [[ -z $command ]]; then\n"
             "        if [[ $cur == -* ]]; then\n"
             "            COMPREPLY=($(compgen -W \"$shared\" -- \"$cur\"))\n"
             "        else\n"
             "            COMPREPLY=($(compgen -W \"$commands\" -- \"$cur\"))\n"
             "        fi\n"
             "        return\n"
             "    fi\n\n"
             "    case $command in\n")
             .arg(valueOptions.join(QStringLiteral(" | ")));
    for (const CliCommand* c : commands()) {
        QStringList options, fileValued, valued;
        for (const CliOption& o : c->options) {
            const Flat f = flat(o);
            options << dashed(f);
            if (f.file)
                fileValued << dashed(f);
            else if (f.value)
                valued << dashed(f);
        }
        const QStringList words = c->words ? c->words() : QStringList();
        s += QStringLiteral("        %1)\n").arg(QString::fromUtf8(c->name));
        if (!fileValued.isEmpty())
            s += QStringLiteral("            case $prev in %1) _vduno_files; return ;; esac\n")
                     .arg(fileValued.join(u'|'));
        if (!valued.isEmpty())
            s += QStringLiteral("            case $prev in %1) return ;; esac\n")
                     .arg(valued.join(u'|'));
        s += QStringLiteral("            if [[ $cur == -* ]]; then\n"
                            "                COMPREPLY=($(compgen -W \"%1 $shared\" -- \"$cur\"))\n"
                            "            else\n")
                 .arg(options.join(u' '));
        if (!words.isEmpty())
            s += QStringLiteral("                COMPREPLY=($(compgen -W \"%1\" -- \"$cur\"))\n")
                     .arg(words.join(u' '));
        s += QStringLiteral("                _vduno_files\n"
                            "            fi\n"
                            "            ;;\n");
    }
    s += QStringLiteral("    esac\n} && complete -F _vduno vduno\n");
    return s;
}

QString zsh()
{
    QString s = QStringLiteral("#compdef vduno\n"
                               "# zsh completion for vduno (generated from the program's own "
                               "definitions)\n\n"
                               "_vduno() {\n"
                               "    local -a shared commands\n"
                               "    shared=(\n");
    for (const Flat& f : shared()) {
        const QString desc = f.description;
        QString spec =
            dashed(f) + u'[' + QString(desc).replace(u']', u')').replace(u'[', u'(') + u']';
        if (f.value)
            spec += f.file ? QStringLiteral(":wartość:_files") : QStringLiteral(":wartość: ");
        s += QStringLiteral("        %1\n").arg(quotedForShell(spec));
    }
    s += QStringLiteral("    )\n    commands=(\n");
    for (const CliCommand* c : commands())
        s += QStringLiteral("        %1\n")
                 .arg(quotedForShell(QString::fromUtf8(c->name) + u':' +
                                     QString::fromUtf8(c->summary).replace(u':', u' ')));
    s += QStringLiteral("    )\n"
                        "    local curcontext=\"$curcontext\" state line\n"
                        "    _arguments -C $shared '1: :->command' '*:: :->args' && return\n"
                        "    case $state in\n"
                        "        command)\n"
                        "            _describe 'polecenie' commands\n"
                        "            ;;\n"
                        "        args)\n"
                        "            case $words[1] in\n");
    for (const CliCommand* c : commands()) {
        QStringList specs;
        for (const CliOption& o : c->options) {
            const Flat f = flat(o);
            QString spec = dashed(f) + u'[' +
                           QString(f.description).replace(u']', u')').replace(u'[', u'(') + u']';
            if (f.value)
                spec += f.file ? QStringLiteral(":wartość:_files") : QStringLiteral(":wartość: ");
            specs << quotedForShell(spec);
        }
        const QStringList words = c->words ? c->words() : QStringList();
        QString rest =
            words.isEmpty()
                ? QStringLiteral("'*:plik:_files'")
                : QStringLiteral("'*:argument:(%1)' '*:plik:_files'").arg(words.join(u' '));
        s += QStringLiteral("                %1) _arguments $shared %2 %3 ;;\n")
                 .arg(QString::fromUtf8(c->name), specs.join(u' '), rest);
    }
    s += QStringLiteral("            esac\n"
                        "            ;;\n"
                        "    esac\n"
                        "}\n\n"
                        "_vduno \"$@\"\n");
    return s;
}

QString fish()
{
    QString s = QStringLiteral(
        "# fish completion for vduno (generated from the program's own definitions)\n"
        "complete -c vduno -f\n");
    QStringList names;
    for (const CliCommand* c : commands())
        names << QString::fromUtf8(c->name);
    const QString noCommand =
        QStringLiteral("not __fish_seen_subcommand_from %1").arg(names.join(u' '));
    for (const CliCommand* c : commands())
        s += QStringLiteral("complete -c vduno -n %1 -a %2 -d %3\n")
                 .arg(quotedForShell(noCommand), QString::fromUtf8(c->name),
                      quotedForShell(QString::fromUtf8(c->summary)));
    auto option = [](const Flat& f, const QString& condition) -> QString {
        QString line = QStringLiteral("complete -c vduno");
        if (!condition.isEmpty())
            line += QStringLiteral(" -n ") + quotedForShell(condition);
        line += QStringLiteral(" -l ") + f.name;
        if (!f.small.isEmpty())
            line += QStringLiteral(" -s ") + f.small;
        if (f.value)
            line += f.file ? QStringLiteral(" -r -F") : QStringLiteral(" -r");
        return line + QStringLiteral(" -d ") + quotedForShell(f.description) + u'\n';
    };
    for (const Flat& f : shared())
        s += option(f, QString());
    for (const CliCommand* c : commands()) {
        const QString condition =
            QStringLiteral("__fish_seen_subcommand_from ") + QString::fromUtf8(c->name);
        for (const CliOption& o : c->options)
            s += option(flat(o), condition);
        const QStringList words = c->words ? c->words() : QStringList();
        if (!words.isEmpty())
            s += QStringLiteral("complete -c vduno -n %1 -a %2\n")
                     .arg(quotedForShell(condition), quotedForShell(words.join(u' ')));
        s += QStringLiteral("complete -c vduno -n %1 -F\n").arg(quotedForShell(condition));
    }
    return s;
}

} // namespace

QString completionScript(const QString& shell)
{
    if (shell == QLatin1String("bash"))
        return bash();
    if (shell == QLatin1String("zsh"))
        return zsh();
    if (shell == QLatin1String("fish"))
        return fish();
    return {};
}

} // namespace cli
