#!/usr/bin/env bash
# Installs the Debian packages listed in packages.txt that are not installed yet.
# Checking with dpkg-query first keeps a second run well under a second.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' "$here/packages.txt")

missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "ZorbaLin needs these Debian packages; install them as root:" >&2
  echo "  apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
install() { apt-get install -y -qq --no-install-recommends "${missing[@]}"; }
# A package list that is stale, or being rewritten by another apt run, fails
# the first try; one fresh update and a second try settle that.
apt-get update -qq
install || { sleep 5; apt-get update -qq; install; }
