#!/usr/bin/env bash
# Lists, per language, the texts of the sources that its catalogue leaves untranslated or marks
# fuzzy (unfinished), and the errors msgfmt finds in it. Fails when any of the languages
# given (by default every one in po/LINGUAS) has one.
# Usage: po/check-translations.sh [LANG...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$here/extract-texts.sh" "$work/quillet.pot"
if [ $# -gt 0 ]; then languages=("$@"); else mapfile -t languages < <(grep -v -e '^#' -e '^$' "$here/LINGUAS"); fi
failed=0
for lang in "${languages[@]}"; do
  po=$here/$lang.po
  if [ ! -f "$po" ]; then
    echo "$lang: no catalogue $po"; failed=1; continue
  fi
  # Against the texts of the sources as they are now, not as the catalogue last saw them.
  msgmerge --quiet --no-wrap -o "$work/$lang.po" "$po" "$work/quillet.pot"
  if ! msgfmt --check --output-file=/dev/null "$work/$lang.po" 2>"$work/$lang.errors"; then
    echo "$lang: msgfmt finds errors:"; sed 's/^/  /' "$work/$lang.errors"; failed=1
  fi
  # A translation keeps every placeholder (%1, {the file manager}) and bold span (**) of its text.
  if ! python3 - "$work/$lang.po" "$lang" <<'PY'
import re, sys
def unquote(lines):
    return ''.join(bytes(m, 'utf-8').decode('unicode_escape').encode('latin-1').decode('utf-8')
                   for line in lines for m in re.findall(r'"((?:[^"\\]|\\.)*)"', line))
bad = 0
for block in open(sys.argv[1], encoding='utf-8').read().split('\n\n'):
    fields, key = {}, None
    for line in block.splitlines():
        m = re.match(r'(msgid|msgid_plural|msgstr(?:\[\d\])?) ', line)
        if m: key = m.group(1); fields[key] = [line]
        elif line.startswith('"') and key: fields[key].append(line)
    english = unquote(fields.get('msgid', []))
    if not english: continue
    # {the file manager} may start a sentence as {The file manager} in another language.
    marks = lambda text: (sorted(p.lower() for p in re.findall(r'%\d|\{[^}]*\}', text)), text.count('**'))
    for name, lines in fields.items():
        if not name.startswith('msgstr'): continue
        text = unquote(lines)
        if text and marks(text) != marks(english):
            bad += 1
            print('  %s placeholders differ: %r -> %r' % (sys.argv[2], english, text))
sys.exit(1 if bad else 0)
PY
  then failed=1; fi
  untranslated=$(msgattrib --untranslated --no-obsolete --no-wrap "$work/$lang.po" | grep -c '^msgid "' || true)
  fuzzy=$(msgattrib --only-fuzzy --no-obsolete --no-wrap "$work/$lang.po" | grep -c '^msgid "' || true)
  # msgattrib prints the header entry too whenever it prints anything.
  [ "$untranslated" -gt 0 ] && untranslated=$((untranslated - 1))
  [ "$fuzzy" -gt 0 ] && fuzzy=$((fuzzy - 1))
  total=$(grep -c '^msgid "' "$work/quillet.pot"); total=$((total - 1))
  echo "$lang: $((total - untranslated - fuzzy)) of $total translated, $untranslated untranslated, $fuzzy fuzzy"
  if [ "$untranslated" -gt 0 ] || [ "$fuzzy" -gt 0 ]; then
    failed=1
    for kind in untranslated only-fuzzy; do
      msgattrib --$kind --no-obsolete --no-wrap "$work/$lang.po" |
        awk -v kind="${kind#only-}" -v lang="$lang" '
          /^#: / { where = $0 }
          # A text of several lines starts with an empty "" line; the header entry has no where.
          pending && /^"/ { print "  " lang " " kind ": " $0 "   " where; pending = 0 }
          /^msgstr/ { pending = 0 }
          /^msgid ""$/ { if (where != "") pending = 1; next }
          /^msgid "/ { print "  " lang " " kind ": " substr($0, 7) "   " where }'
    done
  fi
done
exit $failed
