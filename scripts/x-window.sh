# Sourced by the scripts that drive Quendrix on an X screen: find a window, photograph it once it
# is painted.

# Prints the id of the first visible window whose title matches the pattern; fails after 15 s.
wait_for_window() {
  local w
  for _ in $(seq 1 150); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  echo "no window $1" >&2
  return 1
}

# photograph FILE IMPORT-ARGS...: once two looks 0.2 s apart agree (painted, nothing still
# appearing), writes what `import IMPORT-ARGS` sees to FILE.
photograph() {
  local file=$1 last="" now
  shift
  for _ in $(seq 1 50); do
    now=$(import "$@" png:- 2>/dev/null | md5sum)
    [ "$now" = "$last" ] && break
    last=$now
    sleep 0.2
  done
  import "$@" "$file"
}

# Moves the pointer to the screen's top-left corner, which no centred window covers, and waits
# until no window but the given one shows (a tooltip that had begun closes), so that a picture
# holds the window alone. A fresh screen lets the pointer move only once Wine is on it, so this
# follows the window's opening rather than preceding it, well within the tooltip's delay.
park_pointer() {
  local others
  for _ in $(seq 1 50); do
    xdotool mousemove 0 0
    others=$(xdotool search --onlyvisible --name "" 2>/dev/null | grep -vx -e "$1" -e "$(xdotool search --maxdepth 0 --name "" 2>/dev/null | head -n 1)" || true)
    [ "$(xdotool getmouselocation 2>/dev/null | cut -d" " -f1-2)" = "x:0 y:0" ] && [ -z "$others" ] && return 0
    sleep 0.1
  done
  echo "the pointer could not be parked" >&2
  return 1
}
