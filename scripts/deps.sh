#!/usr/bin/env bash
# Installs the Debian packages listed in packages.txt that are not installed yet.
# Checking with dpkg-query first keeps a second run well under a second.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' "$here/packages.txt")

# One dpkg-query for the whole list; packages it does not know are missing too.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${wanted[@]}" 2>/dev/null \
            | awk '$NF == "installed" && $(NF-1) == "ok" { sub(/:.*/, "", $1); print $1 }' || true)
missing=()
for pkg in "${wanted[@]}"; do
  grep -qx -- "$pkg" <<<"$installed" || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "ZorbaLin needs these Debian packages; install them as root:" >&2
  echo "  apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
install_missing() { apt-get install -y -qq --no-install-recommends "${missing[@]}"; }
# A package list that is stale, or being rewritten by another apt run, fails
# the first try; one fresh update and a second try settle that.
apt-get update -qq
install_missing || { sleep 5; apt-get update -qq; install_missing; }
