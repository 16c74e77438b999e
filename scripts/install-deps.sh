#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when some are missing.
# Extra package names given as arguments are installed as well (fuzzing needs clang).
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
  libqt6sql6-sqlite # the workshop history's database driver
  libqt6sql6-psql # the driver of a history server shared by the benches
  postgresql # tests/history and bench/history-server.sh start a PostgreSQL server of their own
  zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core qt6-translations-l10n
  poppler-utils # pdftoppm: the print tests look at the PDF pages they write
  dpkg-dev lintian desktop-file-utils shared-mime-info # scripts/package.sh and scripts/check-package.sh
  bash-completion # tests/cli/completion-test.sh
  sqlite3 # bench_history_decade runs the same query in the sqlite3 shell
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "error: need root or sudo to install ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
