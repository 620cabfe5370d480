#!/usr/bin/env bash
# Compiles the locales the translation tests run in (German, French and Spanish, UTF-8) into
# FOLDER, which the tests name in LOCPATH: a fresh Debian machine has only the C locales, and
# this needs neither root nor a change to the system's locale archive. Locales already there
# are kept. Usage: tests/support/make-test-locales.sh FOLDER
set -euo pipefail
folder=${1:?usage: make-test-locales.sh FOLDER}
mkdir -p "$folder"
for locale in de_DE fr_FR es_ES; do
  [ -f "$folder/$locale.UTF-8/LC_MESSAGES/SYS_LC_MESSAGES" ] && continue
  # localedef warns about a few characters it cannot represent and still writes the locale
  # (exit status 1); only a missing result is a failure.
  localedef --no-archive -i "$locale" -f UTF-8 "$folder/$locale.UTF-8.new" >/dev/null 2>&1 || true
  if [ ! -f "$folder/$locale.UTF-8.new/LC_MESSAGES/SYS_LC_MESSAGES" ]; then
    echo "make-test-locales: could not compile $locale.UTF-8 (is the locales package installed?)" >&2
    exit 1
  fi
  rm -rf "$folder/$locale.UTF-8"
  mv "$folder/$locale.UTF-8.new" "$folder/$locale.UTF-8"
done
