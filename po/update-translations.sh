#!/usr/bin/env bash
# After texts changed in the sources: writes po/quillet.pot again and merges it into every
# language's catalogue (new texts arrive untranslated, changed ones marked fuzzy), then lists
# what is left to do. Usage: po/update-translations.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/extract-texts.sh" "$here/quillet.pot"
while read -r lang; do
  case $lang in ''|'#'*) continue ;; esac
  msgmerge --quiet --update --backup=none --no-wrap "$here/$lang.po" "$here/quillet.pot"
done <"$here/LINGUAS"
"$here/check-translations.sh" || true
