#!/usr/bin/env bash
# Builds the Debian package and checks it: its contents and dependencies, lintian (no warnings, no
# hardening or spelling tags), the desktop entry
# (desktop-file-validate), the file types (update-mime-database), then unpacks it into a scratch
# root (dpkg -x) and runs the installed programs from there without a display.
# With --install (as root) it also installs the package with dpkg -i, runs it from /usr/bin and
# removes it with dpkg -r, checking that nothing of it is left behind.
# About 20 seconds when build-package/ is up to date; about 2 minutes from a fresh build-package/
# when ccache holds the objects of another build; a build without ccache takes longer.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
deb=$(./scripts/package.sh | tail -n 1)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

echo "== $deb"
dpkg-deb --info "$deb"
echo "== contents"
dpkg-deb --contents "$deb" | tee "$scratch/contents"
for path in usr/bin/vordax4 usr/bin/vordax4-cli usr/bin/vordax4-unitsim \
  usr/share/applications/vordax4.desktop usr/share/mime/packages/vordax4.xml \
  usr/share/icons/hicolor/scalable/apps/vordax4.svg usr/share/icons/hicolor/48x48/apps/vordax4.png \
  usr/share/man/man1/vordax4.1.gz usr/share/man/man1/vordax4-cli.1.gz usr/share/man/man1/vordax4-unitsim.1.gz \
  usr/share/bash-completion/completions/vordax4-cli usr/share/doc/vordax4/copyright \
  usr/share/doc/vordax4/changelog.gz usr/share/doc/vordax4/README.md; do
  grep -q " \./$path\$" "$scratch/contents" || fail "the package lacks /$path"
done
depends=$(dpkg-deb --field "$deb" Depends)
for package in libqt6widgets6 qt6-qpa-plugins libqt6sql6-sqlite libqt6sql6-psql; do
  grep -q "\b$package\b" <<<"$depends" || fail "Depends does not name $package"
done
dpkg-deb --field "$deb" Recommends | grep -q '\bqt6-wayland\b' || fail "Recommends does not name qt6-wayland"

echo "== lintian"
# No warnings at all, and none of the information tags on missing hardening (hardening-no-*) or on
# the spelling of shown texts. lintian reads English only: the German "Programm" and the Czech
# "namísto" (cut at its accent) are spelt right.
lintian --fail-on error,warning --display-info --tag-display-limit 0 "$deb" | tee "$scratch/lintian"
! grep -E 'hardening-no-|spelling-error' "$scratch/lintian" | grep -vE 'spelling-error-in-binary (Programm Program|nam name) ' ||
  fail "lintian finds missing hardening or misspelt texts"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
echo "== desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/vordax4.desktop"
echo "== file types"
mkdir -p "$scratch/mime/packages"
cp "$root/usr/share/mime/packages/vordax4.xml" "$scratch/mime/packages/"
update-mime-database "$scratch/mime" >/dev/null 2>&1
grep -q 'application/x-vordax4-ign:\*\.ign$' "$scratch/mime/globs2" || fail "no file type for *.ign"
grep -q 'application/x-vordax4-ignlog:\*\.ignlog$' "$scratch/mime/globs2" || fail "no file type for *.ignlog"

echo "== the unpacked programs, without a display"
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${no_display[@]}" "$root/usr/bin/vordax4-cli" --version
"${no_display[@]}" "$root/usr/bin/vordax4" --version
"${no_display[@]}" "$root/usr/bin/vordax4" --help >/dev/null
"${no_display[@]}" "$root/usr/bin/vordax4-cli" help >/dev/null
zcat "$root/usr/share/man/man1/vordax4-cli.1.gz" | grep -q '^\.SH EXIT CODES' || fail "the manual page lacks the exit codes"
bash -n "$root/usr/share/bash-completion/completions/vordax4-cli"

if [ "${1:-}" = "--install" ]; then
  echo "== dpkg -i / dpkg -r"
  [ "$(id -u)" -eq 0 ] || fail "--install needs root"
  dpkg-query -W vordax4 >/dev/null 2>&1 && fail "vordax4 is already installed; not touching it"
  dpkg -i "$deb"
  "${no_display[@]}" /usr/bin/vordax4-cli --version
  # The system's triggers have registered the file types and the program that opens them.
  [ -e /usr/share/mime/application/x-vordax4-ign.xml ] || fail "the .ign file type is not registered"
  grep -q '^application/x-vordax4-ign=.*vordax4\.desktop' /usr/share/applications/mimeinfo.cache ||
    fail "the desktop entry is not registered for .ign files"
  dpkg -r vordax4
  [ ! -e /usr/bin/vordax4 ] && [ ! -e /usr/share/applications/vordax4.desktop ] || fail "dpkg -r left files behind"
fi
echo "check-package: OK"
