#!/usr/bin/env bash
# Builds the Debian package and checks it as the distribution would: lintian on the .deb
# and, as root, an install from the file, the programs started from /usr/bin, the manual
# pages and the menu entry where man and the menus look, and a removal that leaves no file
# of the package behind. Without root the install part is skipped with a line saying so.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

rm -f build/package/vorn-duno_*.deb
cmake --workflow --preset package
debs=(build/package/vorn-duno_*.deb)
deb=${debs[0]}
echo "Pakiet: $deb"

# Warnings the project cannot fix are listed in the README, with why; none at present.
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning --info "$deb"
    echo "lintian: bez błędów i ostrzeżeń"
else
    echo "lintian nie jest zainstalowany: sprawdzenie pominięte (bash scripts/setup.sh)"
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "Instalacja i usunięcie pakietu pominięte: potrzebne uprawnienia roota"
    exit 0
fi
if dpkg-query -W -f='${Status}' vorn-duno 2>/dev/null | grep -q 'install ok installed'; then
    echo "Pakiet vorn-duno jest już zainstalowany: instalacja próbna pominięta, by go nie usunąć"
    exit 0
fi

failed=0
fail() {
    echo "BŁĄD: $*"
    failed=1
}
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$deb" >/dev/null
mapfile -t files < <(dpkg-query -L vorn-duno | while read -r f; do [ -d "$f" ] || echo "$f"; done)
version=$(dpkg-query -W -f='${Version}' vorn-duno)

bash tests/packaging/versions.sh "$version" /usr/bin/vduno /usr/bin/duno-emulator \
    /usr/bin/vorn-duno || fail "the installed programs' --version"
/usr/bin/duno-emulator --help | grep -q -- '--tcp' || fail "duno-emulator --help"
for page in vorn-duno vduno duno-emulator; do
    [ "$(man -w "$page")" = "/usr/share/man/man1/$page.1.gz" ] || fail "man -w $page"
    [ "$(man -L pl -w "$page")" = "/usr/share/man/pl/man1/$page.1.gz" ] || fail "man -L pl -w $page"
    man -P cat "$page" 2>/dev/null | grep -q "$page" || fail "man $page shows nothing"
    man -L pl -P cat "$page" 2>/dev/null | grep -q "$page" || fail "man -L pl $page shows nothing"
done
desktop=/usr/share/applications/vorn-duno.desktop
[ -f "$desktop" ] && grep -q '^Exec=vorn-duno' "$desktop" || fail "the menu entry $desktop"
command -v desktop-file-validate >/dev/null && { desktop-file-validate "$desktop" || fail "desktop-file-validate"; }
[ -f /usr/share/icons/hicolor/scalable/apps/vorn-duno.svg ] || fail "the icon"
ls /usr/share/metainfo/*.metainfo.xml | xargs grep -l '<launchable type="desktop-id">vorn-duno.desktop' >/dev/null || fail "the AppStream data"
[ -f /usr/share/doc/vorn-duno/copyright ] && [ -f /usr/share/doc/vorn-duno/changelog.gz ] || fail "copyright and changelog"

apt-get purge -y -qq vorn-duno >/dev/null
left=()
for f in "${files[@]}"; do
    [ -e "$f" ] && left+=("$f")
done
[ ${#left[@]} -eq 0 ] || fail "left behind after removal: ${left[*]}"
dpkg-query -W vorn-duno >/dev/null 2>&1 && [ "$(dpkg-query -W -f='${Status}' vorn-duno)" != "unknown ok not-installed" ] && fail "still known to dpkg"

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "Pakiet: zainstalowany, sprawdzony i usunięty bez śladu (${#files[@]} plików)"
