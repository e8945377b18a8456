#!/usr/bin/env bash
# manpage_coverage.sh VDUNO EMULATOR VORN_DUNO MANDIR
#
# Every command and every long option the programs name in their own help must be named in
# the English and in the Polish manual page of that program (MANDIR/en/PAGE.1.scd and
# MANDIR/pl/PAGE.1.scd):
#   - vduno: the commands listed under the command groups of "vduno --help", every long
#     option (--xxx) that help names, and every long option "vduno COMMAND --help" names;
#   - duno-emulator and vorn-duno: every long option of their --help.
# VORN_DUNO may be an empty string (a build without the window program): its page is then
# not checked.
#
# A page names an option when "--xxx" stands in its source as a whole word (not as the start
# of a longer option: "--emulator" is not named by "--emulator-model"); it names a command
# when the command's name begins a bold span ("*restore*", "*clock* set", "*clock set*").
# "--opcja" is not an option: the general help uses it as the stand-in for any option
# ("--opcja=wartość i --opcja wartość to to samo").
#
# Prints each missing item as "MANDIR/LANG/PAGE.1.scd: missing --xxx" or "...: missing
# command NAME" and ends with 1; on success prints one summary line and ends with 0.
set -euo pipefail

if [ "$#" -ne 4 ]; then
    echo "Usage: $0 VDUNO EMULATOR VORN_DUNO MANDIR (VORN_DUNO may be \"\")" >&2
    exit 2
fi
vduno=$1
emulator=$2
vorn_duno=$3
mandir=${4%/}

export QT_QPA_PLATFORM=offscreen
placeholders=" --opcja "
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

missing=0
problem() {
    echo "$1"
    missing=$((missing + 1))
}

# The standard output of PROGRAM ARGS...; a program that fails ends the check.
help_of() {
    local out status=0
    out=$("$@" 2>"$errors") || status=$?
    if [ "$status" -ne 0 ]; then
        echo "$*: exit $status" >&2
        cat "$errors" >&2
        exit 1
    fi
    if [ -z "$out" ]; then
        echo "$*: no help on standard output" >&2
        exit 1
    fi
    printf '%s\n' "$out"
}

# The long options a help text names, one a line, sorted, without the placeholders.
long_options() {
    LC_ALL=C grep -aoE -- '--[a-z][a-z0-9-]*' | LC_ALL=C sort -u | while read -r option; do
        case "$placeholders" in
        *" $option "*) ;;
        *) echo "$option" ;;
        esac
    done
}

# The commands of "vduno --help": under each group title ("Kasa:"), the lines of two spaces,
# a lower-case name and the summary.
commands_of() {
    LC_ALL=C awk '
        /^[^ ].*:$/ { in_section = 1; next }
        /^$/ { next }
        in_section && /^  [a-z][a-z0-9-]*  +[^ ]/ { print $1 }
    ' | LC_ALL=C sort -u
}

escape() {
    printf '%s' "$1" | sed 's/[][\.*^$/+?(){}|]/\\&/g'
}

names_option() {
    LC_ALL=C grep -aqE -- "(^|[^a-zA-Z0-9-])$(escape "$2")([^a-zA-Z0-9-]|\$)" "$1"
}

names_command() {
    LC_ALL=C grep -aqE -- "\\*$(escape "$2")([* ]|\$)" "$1"
}

# check PAGE OPTIONS COMMANDS: every item named in both languages' page.
check() {
    local page=$1 options=$2 commands=$3 lang file item
    for lang in en pl; do
        file="$mandir/$lang/$page.1.scd"
        if [ ! -f "$file" ]; then
            problem "$file: missing file"
            continue
        fi
        while read -r item; do
            [ -n "$item" ] || continue
            names_command "$file" "$item" || problem "$file: missing command $item"
        done <<<"$commands"
        while read -r item; do
            [ -n "$item" ] || continue
            names_option "$file" "$item" || problem "$file: missing $item"
        done <<<"$options"
    done
}

count() {
    if [ -z "$1" ]; then echo 0; else printf '%s\n' "$1" | wc -l | tr -d ' '; fi
}

# vduno: the general help, then each command's own.
general=$(help_of "$vduno" --help)
vduno_commands=$(printf '%s\n' "$general" | commands_of)
if [ -z "$vduno_commands" ]; then
    echo "$vduno --help: no command found under its command groups" >&2
    exit 1
fi
vduno_options=$(printf '%s\n' "$general" | long_options)
while read -r command; do
    vduno_options+=$'\n'$(help_of "$vduno" "$command" --help | long_options)
done <<<"$vduno_commands"
vduno_options=$(printf '%s\n' "$vduno_options" | LC_ALL=C sort -u | sed '/^$/d')
check vduno "$vduno_options" "$vduno_commands"

emulator_options=$(help_of "$emulator" --help | long_options)
[ -n "$emulator_options" ] || { echo "$emulator --help: no option found" >&2; exit 1; }
check duno-emulator "$emulator_options" ""

pages="vduno, duno-emulator"
gui_summary=""
if [ -n "$vorn_duno" ]; then
    gui_options=$(help_of "$vorn_duno" --help | long_options)
    [ -n "$gui_options" ] || { echo "$vorn_duno --help: no option found" >&2; exit 1; }
    check vorn-duno "$gui_options" ""
    pages+=", vorn-duno"
    gui_summary=", vorn-duno $(count "$gui_options") options"
fi

if [ "$missing" -ne 0 ]; then
    echo "$missing items missing from the manual pages in $mandir"
    exit 1
fi
echo "Manual pages ($pages; en, pl) name every item: vduno $(count "$vduno_commands") commands" \
    "and $(count "$vduno_options") options, duno-emulator $(count "$emulator_options") options$gui_summary"
