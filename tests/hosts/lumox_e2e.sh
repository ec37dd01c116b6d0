#!/usr/bin/env bash
# End-to-end checks of build/lumox.
#   lumox_e2e.sh CASE LUMOX TEST_WINDOW
# Exit 0: passed; 77: skipped (CTest's SKIP_RETURN_CODE); anything else: failed.
# Cases that need a display run under their own Xvfb (xvfb-run).
set -uo pipefail

case_name=$1
lumox=$2
test_window=$3
skip=77

# Every program a case starts runs in the case's own process group, and the
# group ends with the case on every path out (a failed check, a signal), so
# a saver that does not stop is never left behind.
if [ "$(ps -o pgid= $$ | tr -d ' ')" != "$$" ]; then exec setsid "$0" "$@"; fi
end_group() {
  trap '' TERM
  kill -TERM -- -$$ 2>/dev/null
  sleep 0.2
  for pid in $(ps -o pid= -g $$); do
    [ "$pid" != $$ ] && kill -KILL "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
work=$(mktemp -d)
trap end_group EXIT
trap 'exit 143' TERM INT HUP
# Never touch the user's settings, nor the sound block of a saver or player
# running on this machine.
export LUMOX_REGISTRY=$work/registry.reg
export LUMOX_SOUND_BLOCK=LumoxE2E-$$
unset XSCREENSAVER_WINDOW

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# needs_display: re-runs this case under a private Xvfb.
needs_display() {
  if [ -z "${LUMOX_E2E_INSIDE_XVFB:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "SKIP: xvfb-run is not installed"; exit $skip; }
    LUMOX_E2E_INSIDE_XVFB=1 exec xvfb-run -a -s "-noreset -screen 0 640x480x24" "$0" "$case_name" "$lumox" "$test_window"
  fi
}

needs_xdotool() {
  command -v xdotool >/dev/null || { echo "SKIP: xdotool is not installed"; exit $skip; }
}

# wait_exit PID LIMIT_MS: waits for PID to end within LIMIT_MS; its exit code in $status.
wait_exit() {
  local pid=$1 limit=$2 start
  start=$(now_ms)
  while kill -0 "$pid" 2>/dev/null; do
    if [ $(( $(now_ms) - start )) -gt "$limit" ]; then
      kill -KILL "$pid" 2>/dev/null
      fail "process did not end within $limit ms"
    fi
    sleep 0.02
  done
  wait "$pid"
  status=$?
  elapsed=$(( $(now_ms) - start ))
}

# ends_cleanly PID LIMIT_MS WHAT: PID ends within LIMIT_MS with exit code 0.
ends_cleanly() {
  wait_exit "$1" "$2"
  [ "$status" -eq 0 ] || fail "$3 exited $status"
}

# find_window TITLE: the id of the first visible window titled exactly TITLE, in $window.
find_window() {
  window=$(xdotool search --sync --onlyvisible --name "^$1\$" | head -1)
  [ -n "$window" ] || fail "no window titled $1 appeared"
}

# start_helper: starts the test window; its id in $window. ask COMMAND: its one-line reply in $reply.
start_helper() {
  coproc helper { "$test_window"; }
  read -r window <&"${helper[0]}" || fail "the test window did not start"
}
ask() {
  echo "$*" >&"${helper[1]}"
  read -r reply <&"${helper[0]}"
}

# expect_refusal CODE ARGS...: the run exits with CODE and one line on stderr.
expect_refusal() {
  local expected=$1
  shift
  "$lumox" "$@" >"$work/out" 2>"$work/err"
  local code=$?
  [ "$code" -eq "$expected" ] || fail "lumox $* exited $code, expected $expected"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "lumox $* wrote $(wc -l <"$work/err") lines to stderr: $(cat "$work/err")"
  [ -s "$work/out" ] && fail "lumox $* wrote to stdout: $(cat "$work/out")"
  return 0
}

case "$case_name" in
  headless)
    args=(--headless --frames 6 --size 97x61 --seed 7)
    "$lumox" "${args[@]}" --out "$work/a" || fail "first run exited $?"
    "$lumox" "${args[@]}" --out "$work/b" || fail "second run exited $?"
    for n in 1 2 3 4 5 6; do
      file=frame-000$n.png
      [ -s "$work/a/$file" ] || fail "$file missing"
      cmp -s "$work/a/$file" "$work/b/$file" || fail "$file differs between identical runs"
    done
    [ -e "$work/a/frame-0007.png" ] && fail "more frames than asked for"
    for n in 1 2 3 4 5; do
      cmp -s "$work/a/frame-000$n.png" "$work/a/frame-000$((n + 1)).png" &&
        fail "frames $n and $((n + 1)) are identical"
    done
    # The PNG header's width and height (big-endian words at bytes 16 and 20).
    [ "$(od -An -tx1 -j16 -N8 "$work/a/frame-0001.png" | tr -d ' \n')" = 000000610000003d ] ||
      fail "frame is not 97x61"
    ;;

  refusals)
    for args in /x -q "/p 0" /l --no-such-option "--window 0x10"; do
      # shellcheck disable=SC2086
      expect_refusal 255 $args
    done
    "$lumox" --help >"$work/out" || fail "--help exited $?"
    grep -q -- "--headless" "$work/out" || fail "--help does not describe --headless"
    # Without a desktop, /c describes the settings instead of opening the window.
    env -u DISPLAY -u WAYLAND_DISPLAY "$lumox" /c >"$work/out" || fail "/c exited $?"
    grep -qF "$LUMOX_REGISTRY" "$work/out" || fail "/c does not name the registry file"
    env -u DISPLAY -u WAYLAND_DISPLAY "$lumox" >"$work/out2" || fail "a bare lumox exited $?"
    cmp -s "$work/out" "$work/out2" || fail "a bare lumox differs from /c"
    ;;

  settings)
    # A first run creates the default saved displays.
    "$lumox" --list >"$work/list" || fail "--list exited $?"
    grep -q '^\* ' "$work/list" || fail "--list marks no active display: $(cat "$work/list")"
    first=$(sed -n '1s/^..//p' "$work/list")
    "$lumox" --export "$first" "$work/saved.LMX" >/dev/null || fail "--export exited $?"
    [ -s "$work/saved.LMX" ] || fail "--export wrote nothing"
    "$lumox" --import "$work/saved.LMX" --as Copy >/dev/null || fail "--import exited $?"
    # Replacing needs an answer; without a terminal the import is refused.
    setsid -w "$lumox" --import "$work/saved.LMX" --as Copy </dev/null >/dev/null 2>"$work/err" &&
      fail "--import replaced a display without asking"
    grep -q -- "--yes" "$work/err" || fail "the refusal does not mention --yes: $(cat "$work/err")"
    "$lumox" --import "$work/saved.LMX" --as Copy --yes >/dev/null || fail "--import --yes exited $?"
    "$lumox" --activate Copy >/dev/null || fail "--activate exited $?"
    "$lumox" --list | grep -qx '\* Copy' || fail "Copy is not marked active"
    "$lumox" --show Copy >"$work/show" || fail "--show exited $?"
    grep -q Copy "$work/show" || fail "--show does not name the display"
    "$lumox" --delete Copy >/dev/null || fail "--delete exited $?"
    "$lumox" --list | grep -q 'Copy' && fail "Copy is still listed after --delete"
    for args in "--show Copy" "--activate Copy" "--delete Copy" "--export Copy $work/x.LMX" \
                "--import $work/missing.LMX"; do
      # shellcheck disable=SC2086
      "$lumox" $args >/dev/null 2>"$work/err" && fail "lumox $args succeeded"
      [ -s "$work/err" ] || fail "lumox $args failed without a message"
    done
    # --registry names the file as LUMOX_REGISTRY does.
    LUMOX_REGISTRY= "$lumox" --registry "$work/other.reg" --list >/dev/null || fail "--registry exited $?"
    [ -s "$work/other.reg" ] || fail "--registry did not use the named file"
    ;;

  settings-file-run)
    needs_xdotool
    needs_display
    "$lumox" --list >"$work/before" || fail "--list exited $?"
    first=$(sed -n '1s/^..//p' "$work/before")
    "$lumox" --export "$first" "$work/run.LMX" >/dev/null || fail "--export exited $?"
    "$lumox" /s "$work/run.LMX" &
    pid=$!
    find_window "Screen Saver"
    # The window shows before the logic's WM_CREATE has imported the file.
    for _ in $(seq 50); do
      "$lumox" --list | grep -qx '\* Testing Current Settings' && break
      sleep 0.1
    done
    "$lumox" --list | grep -qx '\* Testing Current Settings' ||
      fail "the settings file is not the active display during the run"
    xdotool key --window "$window" space
    ends_cleanly "$pid" 5000 "settings-file run"
    "$lumox" --list >"$work/after"
    cmp -s "$work/before" "$work/after" || fail "the run left the saved displays changed: $(cat "$work/after")"
    ;;

  second-saver)
    needs_xdotool
    needs_display
    "$lumox" /s &
    pid=$!
    find_window "Screen Saver"
    "$lumox" /s &
    second=$!
    ends_cleanly "$second" 5000 "a second full-screen saver"
    kill -0 "$pid" 2>/dev/null || fail "the first saver ended"
    [ "$(xdotool search --onlyvisible --name '^Screen Saver$' | wc -l)" -eq 1 ] ||
      fail "more than one saver window"
    kill -TERM "$pid"
    ends_cleanly "$pid" 5000 "the first saver"
    ;;

  palette-while-paused)
    # F6 pauses the render thread: the palette must still reach the screen.
    # F7 then pauses the palette thread too: the picture must stand still.
    needs_xdotool
    needs_display
    start_helper
    screen_hash() { ask hash; echo "$reply"; }
    "$lumox" --window 200x150 &
    pid=$!
    find_window Lumox
    sleep 0.5
    xdotool key --window "$window" F6
    sleep 0.3
    before=$(screen_hash)
    changed=
    for _ in $(seq 20); do
      sleep 0.25
      [ "$(screen_hash)" != "$before" ] && { changed=1; break; }
    done
    [ -n "$changed" ] || fail "with the render thread paused the colours never moved"
    xdotool key --window "$window" F7
    sleep 0.3
    before=$(screen_hash)
    sleep 0.7
    [ "$(screen_hash)" = "$before" ] || fail "with both threads paused the picture still changed"
    kill -0 "$pid" 2>/dev/null || fail "hot keys closed the saver"
    xdotool key --window "$window" Escape
    ends_cleanly "$pid" 5000 "a window run ended by a key"
    ;;

  monitor-choices)
    # Xvfb has one screen: every monitor choice (and a number no version
    # knows) covers it with one window, and a key ends the run.
    needs_xdotool
    needs_display
    "$lumox" --list >/dev/null || fail "--list exited $?"
    for choice in 0 1 2 7; do
      sed -i -e '/^"Monitors"=/d' \
        -e '/^\[HKEY_CURRENT_USER\\Control Panel\\Screen Saver.Lumox\]$/a "Monitors"=dword:0000000'$choice \
        "$LUMOX_REGISTRY"
      "$lumox" /s &
      pid=$!
      xdotool search --sync --onlyvisible --name '^Screen Saver$' >/dev/null
      sleep 0.5
      windows=$(xdotool search --onlyvisible --name '^Screen Saver$')
      [ "$(xdotool getwindowgeometry $windows | grep -c 'Geometry: 640x480')" -eq 1 ] ||
        fail "choice $choice: not one window of the screen's size"
      xdotool key --window "$windows" Escape
      ends_cleanly "$pid" 5000 "choice $choice, ended by a key"
    done
    ;;

  embedded-sigterm)
    needs_display
    start_helper
    "$lumox" -window-id "$window" &
    pid=$!
    sleep 1
    kill -0 "$pid" 2>/dev/null || fail "embedded run ended by itself"
    kill -TERM "$pid"
    ends_cleanly "$pid" 5000 "an embedded run on SIGTERM"
    echo "ended ${elapsed} ms after SIGTERM"
    ;;

  embedded-window-gone)
    needs_display
    start_helper
    "$lumox" /p "$window" &
    pid=$!
    sleep 1
    kill -0 "$pid" 2>/dev/null || fail "preview run ended by itself"
    ask destroy
    ends_cleanly "$pid" 5000 "a preview run whose window went away"
    echo "ended ${elapsed} ms after the window went away"
    expect_refusal 255 /p "$window"
    ;;

  unseen-window)
    # Nobody sees an unmapped window, nor one mapped again under another:
    # nothing is presented, while the saver runs on.
    needs_display
    start_helper
    ask unmap
    "$lumox" -window-id "$window" --stats 2>"$work/err" &
    pid=$!
    sleep 0.5
    ask cover
    sleep 1
    kill -0 "$pid" 2>/dev/null || fail "lumox ended by itself"
    kill -TERM "$pid"
    ends_cleanly "$pid" 2000 lumox
    grep -q ", 0 presents" "$work/err" || fail "presented unseen: $(cat "$work/err")"
    # SDL does not report a window that others cover: the host follows the
    # server's visibility events itself. Half a second of presents at most
    # before the cover, none in the three seconds after it.
    "$lumox" --window 200x150 --stats 2>"$work/err" &
    pid=$!
    sleep 0.5
    ask cover-screen
    sleep 3
    kill -TERM "$pid"
    ends_cleanly "$pid" 5000 "a covered window"
    presents=$(sed -nE 's/.*, ([0-9]+) presents.*/\1/p' "$work/err")
    [ "${presents:-999}" -lt 90 ] || fail "presented while covered: $(cat "$work/err")"
    ;;

  screen-resize)
    # 100 monitor changes under a running saver: it follows each one, as a
    # restart would, and ends showing the last size; with either presenter
    # (Mesa renders OpenGL in software under Xvfb).
    needs_display
    start_helper
    for presenter in software gl; do
      "$lumox" -root --presenter "$presenter" --stats 2>"$work/err" &
      pid=$!
      sleep 0.5
      for i in $(seq 100); do
        width=$(( 320 + (i * 37 % 41) * 8 )) height=$(( 240 + (i * 23 % 31) * 8 ))
        ask resize "$width" "$height"
        size=$reply
        [ "$size" = "${width}x${height}" ] || fail "the server made ${size}, not ${width}x${height}"
        sleep 0.03
        kill -0 "$pid" 2>/dev/null || fail "$presenter: lumox ended after $i size changes: $(cat "$work/err")"
      done
      sleep 0.5
      kill -TERM "$pid"
      wait_exit "$pid" 2000
      [ "$status" -eq 0 ] || fail "$presenter: lumox exited $status: $(cat "$work/err")"
      grep -q ", ${size}, [1-9][0-9]* presents" "$work/err" ||
        fail "$presenter: not at the last size ${size}: $(cat "$work/err")"
    done
    ;;

  display-gone)
    # A saver whose X server goes away ends at once, in a window and
    # embedded alike. This case runs its own server so it can end it.
    command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit $skip; }
    for args in "--window 100x80" "-root"; do
      Xvfb -displayfd 3 -screen 0 320x240x24 3>"$work/display" 2>/dev/null &
      server=$!
      for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
      [ -s "$work/display" ] || fail "Xvfb did not start"
      # shellcheck disable=SC2086
      DISPLAY=:$(cat "$work/display") "$lumox" $args 2>/dev/null &
      pid=$!
      sleep 1
      kill -0 "$pid" 2>/dev/null || fail "lumox $args ended by itself"
      kill -TERM "$server"
      wait "$server"
      wait_exit "$pid" 3000
      [ "$status" -ne 0 ] || fail "lumox $args exited 0 after losing its display"
      : >"$work/display"
    done
    ;;

  wayland)
    # A Wayland desktop without X: a compositor nested in a private Xvfb
    # (so it has a seat, as a desktop has) and no DISPLAY for the saver. A
    # window and the full-screen saver both show frames; the pointer that
    # enters the full-screen saver at its start does not end it, a move of
    # the pointer does.
    for program in Xvfb weston; do
      command -v "$program" >/dev/null || { echo "SKIP: $program is not installed"; exit $skip; }
    done
    needs_xdotool
    Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    x_display=:$(cat "$work/display")
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    DISPLAY=$x_display weston --backend=x11-backend.so --use-pixman --socket=wayland-e2e \
      --width=400 --height=300 >"$work/weston.log" 2>&1 &
    for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/wayland-e2e" ] && break; sleep 0.05; done
    [ -S "$XDG_RUNTIME_DIR/wayland-e2e" ] || fail "weston did not start: $(cat "$work/weston.log")"
    for args in "--window 200x150" "/s"; do
      # shellcheck disable=SC2086
      env -u DISPLAY WAYLAND_DISPLAY=wayland-e2e "$lumox" $args --stats 2>"$work/err" &
      pid=$!
      sleep 1.5
      kill -0 "$pid" 2>/dev/null || fail "lumox $args ended by itself: $(cat "$work/err")"
      if [ "$args" = /s ]; then
        # Small steps: the compositor passes one long jump on as a leave
        # and an enter, not as a move.
        for _ in 1 2 3; do
          DISPLAY=$x_display xdotool mousemove_relative -- 5 3
          sleep 0.05
        done
      else
        kill -TERM "$pid"
      fi
      ends_cleanly "$pid" 5000 "lumox $args on Wayland"
      presents=$(sed -nE 's/.*, ([0-9]+) presents.*/\1/p' "$work/err")
      [ "${presents:-0}" -ge 10 ] || fail "lumox $args presented too little: $(cat "$work/err")"
    done
    ;;

  *)
    fail "unknown case $case_name"
    ;;
esac
echo "PASS: $case_name"
