#!/usr/bin/env bash
# Runs the real Talvesync.exe under Wine and Xvfb against the native stand-in servers, in a
# temporary folder: registration and values both ways, a screenshot of the window, the user's
# close (taskkill without /F is WM_CLOSE), exit status 0, the log's last line and the position kept;
# then the Variables window, worked through its own messages by the listview-dump helper.
# Usage: run-talvesync-exe.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR ARTEFACT_DIR
# Run it in a network namespace of its own, with a WINEPREFIX of its own: it listens on PSX's port.
set -euo pipefail
exe=$(realpath "$1")/Talvesync.exe
dump=$(realpath "$1")/tests/listview-dump.exe
tools=$(realpath "$2")/tools
artefacts=$(realpath -m "$3")
mkdir -p "$artefacts"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

work=$(mktemp -d /tmp/talvesync-e2e-windows.XXXXXX)
cd "$work"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
fail() { echo "e2e-windows: $*" >&2; echo "== Log.txt"; cat Log.txt 2>/dev/null || true; exit 1; }
wait_for() { # pattern file seconds
  for _ in $(seq $(($3 * 10))); do grep -q -- "$1" "$2" 2>/dev/null && return 0; sleep 0.1; done
  fail "no '$1' in $2 within $3 s"
}

# A GUI program that runs without MinGW's DLLs next to it.
x86_64-w64-mingw32-objdump -p "$exe" >headers.txt
grep -q 'Subsystem.*(Windows GUI)' headers.txt || fail "Talvesync.exe is not a GUI-subsystem program"
if grep -Ei 'DLL Name: (libstdc|libgcc|libwinpthread)' headers.txt; then fail "Talvesync.exe needs MinGW DLLs"; fi

# An X display of our own: without one Wine hangs when the window is created.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >xvfb.log 2>&1 & pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

mkfifo sioc.in psx.in
"$tools/sioc-sim" --port 0 --vivo-ms 0 <sioc.in >sioc.out & pids+=($!)
exec 3>sioc.in
wait_for '^listening' sioc.out 10
sioc_port=$(sed -n 's/^listening //p' sioc.out)
# The colour at a point of the window's client area in a screenshot, as RRGGBB.
client_origin() { xwininfo -display "$display" -root -tree | sed -nE 's/.*"Talvesync": .* [0-9]+x[0-9]+\+([0-9]+)\+([0-9]+) .*/\1 \2/p' | head -n 1; }
colour_at() { # shot x y
  local origin; read -r -a origin <<<"$(client_origin)"
  convert "$1" -crop "1x1+$((origin[0] + $2))+$((origin[1] + $3))" -depth 8 txt:- | grep -oE '#[0-9A-F]{6}' | head -n 1
}
colour_is() { [ "$(colour_at "$1" "$2" "$3")" = "#$4" ]; } # shot x y RRGGBB
# Takes screenshots into FILE until CHECK FILE holds (the window paints on its own time), 10 s at most.
screen_until() { # file check what
  for _ in $(seq 20); do
    import -display "$display" -window root "$1"
    "$2" "$1" && return 0
    sleep 0.5
  done
  fail "$3 (screenshot $1)"
}
without_psx() { colour_is "$1" 330 150 FF0000 && colour_is "$1" 358 150 32CD32; }
both_connected() {
  colour_is "$1" 150 160 99CCFF && colour_is "$1" 330 150 32CD32 && colour_is "$1" 358 150 32CD32 \
    && colour_is "$1" 700 190 32CD32 && colour_is "$1" 700 50 000000
}
cdu_text_shown() { # more than a few glyphs' worth of pixels in the CDU colour
  [ "$(convert "$1" -fill black +opaque '#FFC800' -fill white -opaque '#FFC800' -format '%[fx:int(mean*w*h)]' info:)" -gt 500 ]
}
# The user's close request (taskkill without /F posts WM_CLOSE). Wine now and then fails to start
# taskkill itself ("Application could not be started"): try again while the program still runs.
close_window() { # bridge-pid
  local attempt
  for attempt in 1 2 3 4 5; do
    wine taskkill /IM Talvesync.exe >taskkill.txt 2>&1 && return 0
    kill -0 "$1" 2>/dev/null || return 0
    echo "taskkill attempt $attempt failed: $(tr -d '\r' <taskkill.txt)"
    sleep 1
  done
  fail "taskkill failed: $(cat taskkill.txt)"
}
# Talvesync.cfg for the stand-in SIOC and the script, without the version check, and the lines given.
write_cfg() { printf 'IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port=%s\nCONFIG_FILE=cockpit.ssi\nVERSION_CHECK=0\n' "$sioc_port" >Talvesync.cfg; cat >>Talvesync.cfg; }
cfg_value() { tr -d '\r' <Talvesync.cfg | sed -n "s/^$1=//p"; } # the program writes CRLF lines

"$tools/ssi-writer" cockpit.ssi 1006 2005 >/dev/null
# A stored position at the lower bound is not a place to open the window: it opens at 400.
write_cfg <<CFG
MAIN_WINDOW_X=-30000
MAIN_WINDOW_Y=20
CFG

start=$(date +%s.%N)
wine "$exe" & bridge=$!; pids+=($bridge)
# SIOC first, PSX not there yet: its indicator is red while SIOC's is lime green.
wait_for 'connecting to PSX' Log.txt 60
screen_until "$artefacts/status-window-without-psx.png" without_psx \
  "without PSX, the PSX indicator is not red or the SIOC one not lime green"

"$tools/psx-sim" --port 10747 --tick-ms 0 <psx.in >psx.out & pids+=($!)
exec 4>psx.in
wait_for '^listening' psx.out 10
wait_for 'recv Arn.Inicio:1006:' sioc.out 60
wait_for 'processing input from PSX and SIOC started' Log.txt 60
echo "start to processing: $(echo "$(date +%s.%N) - $start" | bc) s"
[ "$(cfg_value MAIN_WINDOW_X)" = 400 ] || fail "MAIN_WINDOW_X not rewritten to 400"

echo "set 1006 1" >&3
wait_for 'recv Qh6=1' psx.out 10
echo "send Qi5=7" >&4
wait_for 'recv Arn.Resp:2005=7:' sioc.out 10

screen_until "$artefacts/status-window.png" both_connected \
  "with both servers, the bands and indicators do not show light blue, lime green and black"
xwininfo -display "$display" -root -tree >windows.txt
# The title from the string resource; the client area a frame's width right of x = 400.
grep -Eq '"Talvesync": .* [0-9]+x[0-9]+\+40[0-9]\+' windows.txt \
  || fail "no window \"Talvesync\" near x = 400: $(grep -i talvesync windows.txt)"

close_window "$bridge"
status=0; wait "$bridge" || status=$?
[ "$status" -eq 0 ] || fail "Talvesync.exe ended with $status"
wait_for 'recv Arn.Fin:' sioc.out 10
# (not log.txt: Wine's file names ignore case, and the next run's Log.txt would be this file)
tr -d '\r' <Log.txt >status-run.log # the program writes CRLF lines
grep -q ' User closed Talvesync$' status-run.log || fail "no close line in the log"
tail -n 1 status-run.log | grep -Eq '^[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}$' \
  || fail "the log does not end with its asctime line"
# The window stood at 400 (the frame's left edge); that is what is kept.
[ "$(cfg_value MAIN_WINDOW_X)" = 400 ] && [ "$(cfg_value MAIN_WINDOW_Y)" = 20 ] \
  || fail "window position not kept: $(grep MAIN_WINDOW Talvesync.cfg)"
cp Log.txt "$artefacts/Log.txt"

# The Variables window, opened from the system menu: the switch moved at sioc-sim appears in its
# row with its new value on both sides, read back through the list view's own messages; the filter
# narrows the list; a changed row is highlighted; its place and being open are kept at the close.
rm Log.txt
write_cfg <<CFG
VARIABLES_WINDOW_X=40
VARIABLES_WINDOW_Y=300
CFG
# The list as the list view gives it, into rows.txt, until a line matches; 20 s at most.
rows_until() { # extended-regex what
  for _ in $(seq 20); do
    wine "$dump" rows 2>/dev/null | tr -d '\r' >rows.txt || true
    grep -Eq "$1" rows.txt && return 0
    sleep 0.5
  done
  fail "$2: $(cat rows.txt)"
}
changed_row_shown() { # the highlight's pale yellow, more than a row's worth of pixels
  [ "$(convert "$1" -fill black +opaque '#FFEC8C' -fill white -opaque '#FFEC8C' -format '%[fx:int(mean*w*h)]' info:)" -gt 2000 ]
}
wine "$exe" & bridge=$!; pids+=($bridge)
wait_for 'processing input from PSX and SIOC started' Log.txt 60
wine "$dump" open
rows_until '^1006\|LtStorm\|Qh6\|SwitchVar\|' "no row for 1006 in the Variables window"
[ "$(wc -l <rows.txt)" -eq 2 ] || fail "not the two variables of the script: $(cat rows.txt)"
wine "$dump" filter qh6
rows_until '^1006\|' "the filter lost row 1006"
[ "$(wc -l <rows.txt)" -eq 1 ] || fail "the filter qh6 lets more than 1006 through: $(cat rows.txt)"
echo "set 1006 0" >&3
wait_for 'recv Qh6=0' psx.out 10
rows_until '^1006\|LtStorm\|Qh6\|SwitchVar\|0\|0\|[0-9]{2}:[0-9]{2}:[0-9]{2}\|[1-9]' \
  "the switch moved to 0 is not in its row with 0 on both sides"
wine "$dump" filter ""
rows_until '^2005\|' "the emptied filter does not bring row 2005 back"
# Once the last highlight is over, only the next change stands out.
sleep 2.5
echo "set 1006 1" >&3
screen_until "$artefacts/variables-window-screen.png" changed_row_shown "the changed row is not highlighted"
# The window alone for the manual: its size and its place on the screen, as the X server has them.
area=$(xwininfo -display "$display" -root -tree \
  | sed -nE 's/.*"Talvesync Variables": .* ([0-9]+x[0-9]+)[+-][0-9]+[+-][0-9]+ +\+([0-9]+)\+([0-9]+).*/\1+\2+\3/p' | head -n 1)
convert "$artefacts/variables-window-screen.png" -crop "$area" +repage "$artefacts/variables-window.png"
rows_until '^1006\|LtStorm\|Qh6\|SwitchVar\|1\|1\|' "the switch moved to 1 is not in its row"
wine "$dump" move 40 300 900 420
wine "$dump" close
status=0; wait "$bridge" || status=$?
[ "$status" -eq 0 ] || fail "Talvesync.exe with the Variables window ended with $status"
[ "$(cfg_value VARIABLES_WINDOW)" = 1 ] || fail "the open Variables window is not kept as open"
[ "$(cfg_value VARIABLES_WINDOW_X),$(cfg_value VARIABLES_WINDOW_Y)" = 40,300 ] \
  && [ "$(cfg_value VARIABLES_WINDOW_WIDTH),$(cfg_value VARIABLES_WINDOW_HEIGHT)" = 900,420 ] \
  || fail "the Variables window's place is not kept: $(grep VARIABLES_ Talvesync.cfg)"
cp Log.txt "$artefacts/variables-run-Log.txt"
variables_keys=$(grep '^VARIABLES_' Talvesync.cfg | tr -d '\r')

# A second run as the left CDU's screen, in amber so that its text stands out from the panel's
# colours, without caption and border (the worker asks the window's thread to take them off): PSX
# sends the CDU's fourteen rows and unblanks it.
rm Log.txt
write_cfg <<CFG
CDU_L=1
CDU_BORDER=0
CDU_COLOR_R=255
CDU_COLOR_G=200
CDU_COLOR_B=0
VARIABLES_WINDOW_X=0
VARIABLES_WINDOW_Y=100
VARIABLES_WINDOW_WIDTH=390
CFG
# Open at the last close: open again, here beside the CDU screen, and filled in CDU mode too.
grep '^VARIABLES_WINDOW=' <<<"$variables_keys" >>Talvesync.cfg
wine "$exe" & bridge=$!; pids+=($bridge)
wait_for 'window changed into CDU screen' Log.txt 60
rows_until '^1006\|LtStorm\|Qh6\|SwitchVar\|1\|1\|' "the Variables window did not open again in CDU mode"
for row in $(seq 62 75); do echo "send Qs$row=ROW $((row - 62)) OF THE LEFT CDU" >&4; done
echo "send Qi89=0" >&4
screen_until "$artefacts/cdu-screen.png" cdu_text_shown "the CDU screen shows no text in the CDU colour"
close_window "$bridge"
status=0; wait "$bridge" || status=$?
[ "$status" -eq 0 ] || fail "Talvesync.exe as CDU screen ended with $status"
tr -d '\r' <Log.txt | grep -q ' window back to normal\.$' || fail "the window did not leave CDU mode"
cp Log.txt "$artefacts/cdu-run-Log.txt"
echo quit >&3; echo quit >&4
echo "e2e-windows: passed (screenshot in $artefacts)"
cd / && rm -rf "$work"
