#!/usr/bin/env bash
# New office files, made by the program itself, open in a real office suite: LibreOffice
# recognises each as its kind of document and converts it to PDF.
set -u
quillet=$1
if ! command -v soffice >/dev/null 2>&1; then
  echo "soffice is not installed"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Settings (read on every creation) stay in the test's own folder.
export XDG_CONFIG_HOME=$work/config
fail=0
declare -A filter=([docx]=writer_pdf_Export [xlsx]=calc_pdf_Export [pptx]=impress_pdf_Export)
for type in docx xlsx pptx; do
  file=$("$quillet" create "$type" "$work") || { echo "FAIL: quillet create $type"; fail=1; continue; }
  out="$work/pdf-$type"
  # A private profile: no interference with a running office or another test.
  log=$(timeout 240 soffice -env:UserInstallation="file://$work/profile" --headless \
        --convert-to pdf --outdir "$out" "$file" 2>&1)
  pdf="$out/$(basename "${file%.*}").pdf"
  if ! grep -q "using filter : ${filter[$type]}" <<<"$log"; then
    echo "FAIL: $type was not opened as its kind of document:"; echo "$log"; fail=1
  elif [ ! -s "$pdf" ]; then
    echo "FAIL: no PDF from $type:"; echo "$log"; fail=1
  elif ! grep -aq '/Type */Page\b' "$pdf"; then
    echo "FAIL: the PDF of $type has no page"; fail=1
  else
    echo "ok: $(basename "$file") -> $(basename "$pdf") ($(stat -c %s "$pdf") bytes)"
  fi
done
exit $fail
