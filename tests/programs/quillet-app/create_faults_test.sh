#!/usr/bin/env bash
# "quillet create TYPE FOLDER" when the file system says no: a full volume, the file size
# limit, a read-only volume, a link planted at the name. Each ends with the alert's title and
# the file system's reason, status 1, and the folder exactly as it was. Also: the launcher does
# this without loading any toolkit library, and still leaves the access prompt to the
# application program. Mounting needs root; without it only the cases that need none run.
set -u
quillet=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
work=$(mktemp -d)
mounts=()
cleanup() {
  for m in "${mounts[@]}"; do umount -l "$m" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config
unset APP_SANDBOX_CONTAINER_ID
q='\xe2\x80\x9c' Q='\xe2\x80\x9d' apos='\xe2\x80\x99'
listing() { (cd "$1" && find . -printf '%p %s %y %l\n' | sort); }

# failure NAME FOLDER EXPECTED-LAST-LINE [COMMAND PREFIX...]: runs "create docx FOLDER".
failure() {
  local name=$1 folder=$2 expected=$3; shift 3
  local before err rc
  before=$(listing "$folder")
  err=$("$@" "$quillet" create docx "$folder" 2>&1 >/dev/null); rc=$?
  check "$name: exits 1" '[ $rc -eq 1 ]'
  check "$name: says why" 'printf "%s\n" "$err" | grep -qx "Could not create file" && [ "$(printf "%s\n" "$err" | tail -1)" = "$(printf "$expected")" ]'
  check "$name: the folder is as it was" '[ "$(listing "$folder")" = "$before" ]'
}

# A link planted at the name: never followed, never replaced.
mkdir "$work/planted"
ln -s "$work/planted/elsewhere" "$work/planted/Untitled.docx"
failure "planted link" "$work/planted" "The file ${q}Untitled.docx${Q} couldn${apos}t be saved in the folder ${q}planted${Q} because a file with the same name already exists."
check "planted link: nothing made where it points" '[ ! -e "$work/planted/elsewhere" ]'

# The file size limit, below the template's size.
mkdir "$work/limited"
echo "someone else's" >"$work/limited/Untitled.docx"
failure "size limit" "$work/limited" "The file ${q}Untitled 2.docx${Q} couldn${apos}t be saved because it is too large." \
  sh -c 'ulimit -f 2; exec "$@"' limit

# No toolkit on this path: not in the launcher's libraries, and nothing loaded while it runs.
mkdir "$work/plain"
check "the launcher links no toolkit" '! ldd "$quillet" | grep -qi "libQt"'
libs=$(LD_DEBUG=libs "$quillet" create txt "$work/plain" 2>&1 >/dev/null)
check "create loads no toolkit library" '[ -e "$work/plain/Untitled.txt" ] && ! printf "%s\n" "$libs" | grep -qi "libQt"'
# Outside a sandbox no grant changes the write: the settings suite is not even opened, and the
# journal's and the session bus's library wait for a line to log or a file manager to tell.
check "create outside a sandbox leaves the settings suite unopened" '[ ! -e "$XDG_CONFIG_HOME/group.org.quillet.Quillet" ]'
check "create loads no libsystemd" '! printf "%s\n" "$libs" | grep -q "libsystemd"'
# A sandboxed run without a saved grant may need the access prompt: the application program
# takes over (here without a display, where the prompt counts as cancelled).
libs=$(env -u DISPLAY -u WAYLAND_DISPLAY APP_SANDBOX_CONTAINER_ID=test LD_DEBUG=libs "$quillet" create txt "$work/plain" 2>&1 >/dev/null); rc=$?
check "a possible prompt goes to the application program" '[ $rc -eq 1 ] && printf "%s\n" "$libs" | grep -qi "libQt6Core"'
check "and nothing is created without access" '[ ! -e "$work/plain/Untitled 2.txt" ]'

if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: mounting needs root"
  exit $fail
fi
# A full volume: a small tmpfs nearly filled by someone else's file.
mkdir "$work/full"
if mount -t tmpfs -o size=64k tmpfs "$work/full" 2>/dev/null; then
  mounts+=("$work/full")
  head -c 60000 /dev/urandom >"$work/full/filler" 2>/dev/null
  failure "full volume" "$work/full" "The file ${q}Untitled.docx${Q} couldn${apos}t be saved because there isn${apos}t enough space."
else
  echo "skipped: no tmpfs"
fi
# A read-only volume: a read-only bind mount of a folder with files in it.
mkdir "$work/source" "$work/readonly"
echo "keep" >"$work/source/Untitled.docx"
if mount --bind "$work/source" "$work/readonly" 2>/dev/null; then
  mounts+=("$work/readonly")
  if mount -o remount,bind,ro "$work/readonly" 2>/dev/null; then
    failure "read-only volume" "$work/readonly" "The file ${q}Untitled 2.docx${Q} couldn${apos}t be saved because the volume is read only."
  else
    echo "skipped: no read-only remount"
  fi
else
  echo "skipped: no bind mount"
fi
exit $fail
