# The built program for a throw-away account (sourced by the test scripts that run it as one).
# The build tree may sit where only its owner can enter, such as a checkout in a private
# temporary folder, so the account runs a copy laid out like an installed prefix: bin/ with the
# program, libexec/ with the application program it starts, and share/quillet/ beside them,
# where the programs find their resources.
#
#   account_program ACCOUNT PROGRAM FOLDER
#       copies PROGRAM and its resources into FOLDER (created; every folder above it must be
#       open to ACCOUNT), checks that ACCOUNT can run the copy, and prints the copy's path.

account_program() {
  local account=$1 program=$2 prefix=$3
  local resources application copy
  resources=$(dirname "$program")/../share/quillet
  application=$(dirname "$program")/../libexec/quillet-app
  copy=$prefix/bin/$(basename "$program")
  mkdir -p "$prefix/bin" "$prefix/libexec" "$prefix/share" &&
    cp "$program" "$copy" &&
    cp "$application" "$prefix/libexec/quillet-app" &&
    cp -R "$resources" "$prefix/share/quillet" &&
    chmod -R a+rX "$prefix" || {
    echo "account_program: could not copy $program and $resources into $prefix" >&2
    return 1
  }
  if ! runuser -u "$account" -- test -x "$copy" -a -r "$prefix/share/quillet"; then
    echo "account_program: $account cannot reach $copy; every folder above $prefix must be open to it" >&2
    return 1
  fi
  echo "$copy"
}

#   mark_system_install FOLDER
#       marks the copy in FOLDER as installed by the package, as the running application then
#       keeps the file managers' menus (a build tree's program keeps none).
mark_system_install() {
  python3 - "$1/share/quillet/Info.json" <<'PY'
import json, sys
info = json.load(open(sys.argv[1])); info["QuilletSystemInstall"] = True
json.dump(info, open(sys.argv[1], "w"))
PY
}
