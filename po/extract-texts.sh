#!/usr/bin/env bash
# Writes the catalogue template (quillet.pot) of every text a person sees: the sources' marked
# texts (translate, translateIn, translatePlural, N_) with their TRANSLATORS: comments, the
# desktop entries and the AppStream metadata.
# Usage: po/extract-texts.sh [OUTPUT.pot]   (default: po/quillet.pot)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/po/quillet.pot}
cd "$here"
# Every source that marks a text, in a stable order so the template only changes with the texts.
mapfile -t sources < <(grep -rlE '\b(translate|translateIn|translatePlural|N_)\(' \
  --include='*.cpp' --include='*.h' shared app platform gui programs extension | grep -v '^shared/text/Translation\.h$' | LC_ALL=C sort)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
xgettext --language=C++ --from-code=UTF-8 --keyword= --keyword=translate --keyword=translateIn:1c,2 \
  --keyword=translatePlural:1,2 --keyword=N_ --add-comments=TRANSLATORS: --sort-by-file \
  --package-name=Quillet+ --package-version=0.1.0 --msgid-bugs-address=maintainers@quillet.example.org \
  --copyright-holder="Quillet+ maintainers" -o "$work/sources.pot" "${sources[@]}"
xgettext --language=Desktop --from-code=UTF-8 -o "$work/desktop.pot" \
  resources/org.quillet.Quillet.desktop resources/org.quillet.Quillet.autostart.desktop
xgettext --from-code=UTF-8 --its=/usr/share/gettext/its/metainfo.its -o "$work/metainfo.pot" \
  resources/org.quillet.Quillet.metainfo.xml
msgcat --use-first -o "$out" "$work/sources.pot" "$work/desktop.pot" "$work/metainfo.pot"
# The date of a run is no change of the texts.
sed -i '/^"POT-Creation-Date:/d' "$out"
