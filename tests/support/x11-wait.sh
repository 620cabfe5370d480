# Waits on window state for the X11 test scripts (sourced; needs xprop and xwininfo). Scripts act
# once the window manager shows the state they need, never after a fixed pause, and a wait that
# runs out says what it waited for.
#
#   wait_until SECONDS DESCRIPTION COMMAND [ARGS...]
#       runs COMMAND until it succeeds; after SECONDS prints "timed out after …: DESCRIPTION" to
#       stderr and returns 1.
#   window_stacking            the managed windows, bottom to top, one decimal id a line
#   window_on_top WINDOW       WINDOW is the topmost managed window
#   window_active WINDOW       WINDOW is the window manager's active window (_NET_ACTIVE_WINDOW)
#   window_viewable WINDOW     WINDOW is mapped and every parent with it
#   window_has_state WINDOW STATE   _NET_WM_STATE of WINDOW holds STATE (e.g. _NET_WM_STATE_HIDDEN)
#   window_property WINDOW PROPERTY  WINDOW has PROPERTY set
#   await_window SECONDS DESCRIPTION SEARCH-ARGS...   waits for `xdotool search SEARCH-ARGS...` to
#       find a window and prints its id; no_window SEARCH-ARGS... is true while none matches
# WINDOW is an id in decimal (as xdotool prints it) or hexadecimal.

wait_until() {
  local seconds=$1 description=$2
  shift 2
  local deadline=$(( $(date +%s%N) + seconds * 1000000000 ))
  while :; do
    "$@" && return 0
    if [ "$(date +%s%N)" -ge "$deadline" ]; then
      echo "timed out after ${seconds}s: $description" >&2
      return 1
    fi
    sleep 0.05
  done
}

window_stacking() {
  xprop -root -notype _NET_CLIENT_LIST_STACKING 2>/dev/null |
    sed -n 's/^[^#]*# //p' | tr ',' '\n' | while read -r id; do [ -n "$id" ] && printf '%d\n' "$id"; done
}

window_on_top() {
  [ -n "$1" ] && [ "$(window_stacking | tail -n 1)" = "$(printf '%d' "$1")" ]
}

window_active() {
  local active
  active=$(xprop -root -notype _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/^[^#]*# \(0x[0-9a-f]*\).*/\1/p')
  [ -n "$1" ] && [ -n "$active" ] && [ "$(printf '%d' "$active")" = "$(printf '%d' "$1")" ]
}

window_viewable() {
  [ -n "$1" ] && xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

window_has_state() {
  [ -n "$1" ] && xprop -id "$1" -notype _NET_WM_STATE 2>/dev/null | grep -qw -- "$2"
}

window_property() {
  [ -n "$1" ] && ! xprop -id "$1" -notype "$2" 2>/dev/null | grep -q 'not found\|no such atom'
}

# await_window SECONDS DESCRIPTION SEARCH-ARGS...: waits until `xdotool search SEARCH-ARGS...`
# finds a window and prints the first one's id. The id comes from the search that found it: a
# search while other windows come and go may die on one that vanished and find nothing, so a
# second search could miss a window that is there.
await_window() {
  local seconds=$1 description=$2
  shift 2
  wait_until "$seconds" "$description" first_window "$@"
}
first_window() {
  local id
  id=$(xdotool search "$@" 2>/dev/null | head -n 1)
  [ -n "$id" ] && echo "$id"
}
no_window() { ! first_window "$@" >/dev/null; }
