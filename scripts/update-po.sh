#!/usr/bin/env bash
# The translation catalogues against the sources.
#
#   scripts/update-po.sh           (make pot) renews the template po/zorbalin.pot from the sources
#                                  (every text marked with Tr, TrN or TrMark) and merges it into
#                                  each po/*.po: a new text comes in untranslated, a changed one
#                                  fuzzy, for a translator to see to.
#   scripts/update-po.sh --check   changes nothing; fails when a catalogue lacks a text of the
#                                  sources or holds an untranslated or fuzzy entry.
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
[[ ${1:-} == --check ]] && check=true

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t sources < <(git ls-files --cached --others --exclude-standard -- 'app/*.cpp' \
                           'app/*.h' 'game/*.cpp' 'game/*.h' 'strings/*.cpp' 'strings/*.h' | sort -u)
else
  mapfile -t sources < <(find app game strings \( -name '*.cpp' -o -name '*.h' \) | sort)
fi
version=$(sed -n 's/^project(ZorbaLin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
template=po/zorbalin.pot
if $check; then
  template=$(mktemp --suffix=.pot)
  trap 'rm -f "$template"' EXIT
fi
xgettext --from-code=UTF-8 --language=C++ --keyword= --keyword=Tr --keyword=TrN:1,2 \
         --keyword=TrMark --add-comments=TRANSLATORS: --add-location=file \
         --package-name=ZorbaLin --package-version="$version" \
         --msgid-bugs-address="zorbalin@zorbalin.hu" --copyright-holder="The ZorbaLin developers" \
         --output="$template" "${sources[@]}"

status=0
for catalogue in po/*.po; do
  if ! $check; then
    msgmerge --quiet --update --backup=none --add-location=file "$catalogue" "$template"
    continue
  fi
  if ! msgcmp "$catalogue" "$template"; then
    echo "$catalogue: lacks texts of the sources (make pot, then translate them)" >&2
    status=1
  fi
  for kind in --untranslated --only-fuzzy; do
    if [[ -n $(msgattrib "$kind" --no-obsolete "$catalogue") ]]; then
      echo "$catalogue: has entries that msgattrib $kind lists:" >&2
      msgattrib "$kind" --no-obsolete "$catalogue" | grep '^msgid ' >&2
      status=1
    fi
  done
done
messages=$(($(grep -c '^msgid ' "$template") - 1)) # the header is no message
if ! $check; then
  echo "po: $messages messages in $template, merged into the catalogues (--check says what is missing)"
elif ((status == 0)); then
  echo "po: $messages messages; every catalogue complete"
fi
exit $status
