#!/usr/bin/env bash
# Runs the real Talvesync.exe under Wine and Xvfb against the native stand-in servers, in a
# temporary folder: registration and values both ways, a screenshot of the window, the user's
# close (taskkill without /F is WM_CLOSE), exit status 0, the log's last line, and the position kept
# in a file laid out by hand that the save leaves as it was otherwise;
# then the Variables window, worked through its own messages by the listview-dump helper, and
# what a user does to it: a close during the drive search and during a version fetch that is
# never answered (each timed), a failure whose error stays in view, a window saved off-screen, CDU
# rows that leave their neighbours alone, and two copies for two CDUs.
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
searching_shown() { colour_is "$1" 700 190 32CD32 && colour_is "$1" 150 160 99CCFF; }
# The CDU window (no caption, 600 or 900 wide) lies inside the 1280 x 800 screen.
cdu_on_screen() { # shot
  local geometry
  geometry=$(xwininfo -display "$display" -root -tree | sed -nE 's/.*"Talvesync": .* ([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+) .*/\1 \2 \3 \4/p' | head -n 1)
  read -r w h x y <<<"$geometry"
  [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 800 ] \
    || fail "the CDU window is not on the screen: $geometry (screenshot $1)"
}
# Drawing one row again changes no pixel of the rows next to it (rows 4 and 6 of 36 pixels from
# y 50, in the CDU window's client area).
neighbours_unchanged() { # before after
  local origin band; read -r -a origin <<<"$(client_origin)"
  for band in 194 266; do
    convert "$1" -crop "900x36+${origin[0]}+$((origin[1] + band))" +repage above.png
    convert "$2" -crop "900x36+${origin[0]}+$((origin[1] + band))" +repage below.png
    [ "$(compare -metric AE above.png below.png null: 2>&1)" = 0 ] \
      || fail "drawing row 5 again changed the pixels of the row at y $band (screenshots $1, $2)"
  done
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
# The stand-in SIOC server's keys (the script given, or cockpit.ssi).
sioc_keys() { printf 'IOCP_HOSTADDRESS=127.0.0.1\nIOCP_port=%s\nCONFIG_FILE=%s\n' "$sioc_port" "${1:-cockpit.ssi}"; }
write_cfg() { { sioc_keys; echo VERSION_CHECK=0; cat; } >Talvesync.cfg; }
cfg_value() { tr -d '\r' <Talvesync.cfg | sed -n "s/^$1=//p" | head -n 1; } # the first line of the key counts

"$tools/ssi-writer" cockpit.ssi 1006 2005 >/dev/null
# A stored position at the lower bound is not a place to open the window: it opens at 400. The file
# is laid out by hand, with Windows line ends, comments, a blank line and a second line for a key
# (which is named in the log): the saves of the window position change their lines and nothing else.
sed 's/$/\r/' >Talvesync.cfg <<CFG
; The cockpit's settings
IOCP_HOSTADDRESS = localhost
IOCP_port=$sioc_port
CONFIG_FILE=cockpit.ssi

# no version check in a test
VERSION_CHECK=0
MAIN_WINDOW_X=-30000
MAIN_WINDOW_Y = 20
MAIN_WINDOW_X=500
CFG
sed -e 's/^MAIN_WINDOW_X=-30000\r$/MAIN_WINDOW_X=400\r/' -e 's/^MAIN_WINDOW_Y = 20\r$/MAIN_WINDOW_Y=20\r/' \
  Talvesync.cfg >saved.cfg

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
cmp -s Talvesync.cfg saved.cfg || fail "the save changed more than the window position: $(diff saved.cfg Talvesync.cfg | cat -A)"
grep -q '^Talvesync.cfg line 10: MAIN_WINDOW_X is set on line 8 already, this line is ignored$' status-run.log \
  || fail "the second MAIN_WINDOW_X line is not named in the log"
grep -q '^PSX not detected at 127.0.0.1:10747 (connection refused), retrying \.\.\.$' status-run.log \
  || fail "the refused PSX is not on the status line"
grep -q '^ IOCP_HOSTADDRESS=localhost$' status-run.log || fail "the SIOC host name is not taken"
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

# The time from the close request (the log's " User closed" line, looked for every 10 ms) to the
# program's end, in ms; fails beyond the second a close may take.
closed_within_a_second() { # bridge-pid what
  local closed_at="" ended_at status=0
  close_window "$1" &
  local closer=$!
  while kill -0 "$1" 2>/dev/null; do
    [ -z "$closed_at" ] && grep -q ' User closed Talvesync' Log.txt 2>/dev/null && closed_at=$(date +%s%N)
    sleep 0.01
  done
  ended_at=$(date +%s%N)
  wait "$1" || status=$?
  wait "$closer" || true
  [ -n "$closed_at" ] || closed_at=$ended_at # ended before the next look
  local took=$(((ended_at - closed_at) / 1000000))
  echo "measured: close request to the program's end $2: $took ms"
  [ "$status" -eq 0 ] || fail "Talvesync.exe closed $2 ended with $status"
  [ "$took" -lt 1000 ] || fail "the close $2 took $took ms"
  tr -d '\r' <Log.txt | tail -n 1 | grep -Eq '^[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3][0-9] [0-9:]{8} [0-9]{4}$' \
    || fail "the log of the close $2 does not end with its asctime line"
}

# A close while the SIOC installation is looked for: without the IOCP keys, and without a
# SIOC folder in the known places, every fixed drive is walked, and Wine's Z: is the whole Linux
# file system.
rm Log.txt
printf 'VERSION_CHECK=0\n' >Talvesync.cfg
wine "$exe" & bridge=$!; pids+=($bridge)
wait_for 'searching the drives for SIOC' Log.txt 60
sleep 1 # well into the walk
screen_until "$artefacts/drive-search.png" searching_shown "the window does not show the drive search"
grep -q 'SIOC parameters' Log.txt && fail "the drive search ended before the close (nothing to measure)"
closed_within_a_second "$bridge" "during the drive search"
grep -q 'lf_startUp_as_Thread: stopped, the program is closing' Log.txt || fail "the drive search did not stop"
cp Log.txt "$artefacts/drive-search-Log.txt"

# A close while the version check waits for a web server that accepts and never answers: the
# version address's name leads to a silent listener on this machine, in a mount namespace of the
# program's own (its /etc/hosts).
rm Log.txt
"$tools/sioc-sim" --port 443 --vivo-ms 0 </dev/null >silent.out & pids+=($!)
wait_for '^listening' silent.out 10
printf '127.0.0.1 talvesync.net\n' >hosts
{ sioc_keys; echo VERSION_CHECK=1; } >Talvesync.cfg
# The check runs on Windows 10 and 11 only; Wine's prefix may say Windows 7.
wine reg add 'HKCU\Software\Wine\AppDefaults\Talvesync.exe' /v Version /d win10 /f >/dev/null 2>&1
unshare -m sh -c 'mount --bind "$1" /etc/hosts && exec wine "$2"' sh "$work/hosts" "$exe" & bridge=$!; pids+=($bridge)
wait_for '^connected' silent.out 60
sleep 1
grep -q 'SIOC parameters' Log.txt && fail "the version check ended before the close (nothing to measure)"
closed_within_a_second "$bridge" "during a version fetch that is never answered"
grep -q 'Version file' Log.txt && fail "the stopped version check was reported as a missing document"
cp Log.txt "$artefacts/version-fetch-Log.txt"

# A value the bridge cannot read ends the run: both servers are told goodbye, and the window,
# back from the CDU screen, keeps the red error until the user closes it. The CDU window's place
# was saved on a monitor that is gone (x = 5000): it opens on this one.
rm Log.txt
write_cfg <<CFG
MAIN_WINDOW_X=40
MAIN_WINDOW_Y=30
MAIN_CDU_WINDOW_X=5000
MAIN_CDU_WINDOW_Y=100
CDU_L=1
CDU_BORDER=0
CDU_COLOR_R=255
CDU_COLOR_G=200
CDU_COLOR_B=0
CFG
wine "$exe" & bridge=$!; pids+=($bridge)
wait_for 'window changed into CDU screen' Log.txt 60
# Every row of glyphs that fill their cell, then one row alone again: its neighbours' pixels stay.
for row in $(seq 62 75); do echo "send Qs$row=||||||||||||||||||||||||" >&4; done
echo "send Qi89=0" >&4
screen_until "$artefacts/cdu-rows.png" cdu_text_shown "the CDU screen shows no rows"
cdu_on_screen "$artefacts/cdu-rows.png"
sleep 1
import -display "$display" -window root cdu-before.png
echo "send Qs67=|||| ROW FIVE AGAIN ||||||" >&4
sleep 1.5 # more than a hand-over and its paint
import -display "$display" -window root "$artefacts/cdu-row-redrawn.png"
neighbours_unchanged cdu-before.png "$artefacts/cdu-row-redrawn.png"
echo "send Arn.Resp:1006=x:" >&3
wait_for 'recv Arn.Fin:' sioc.out 10
wait_for 'The window stays open with the error' Log.txt 10
sleep 3 # longer than the old final stop took
kill -0 "$bridge" 2>/dev/null || fail "the window did not stay open after the failure"
error_shown() { colour_is "$1" 700 190 FF0000 && colour_is "$1" 150 160 99CCFF; }
screen_until "$artefacts/error-kept.png" error_shown "the window does not show the status panel with a red error"
close_window "$bridge"
status=0; wait "$bridge" || status=$?
[ "$status" -eq 0 ] || fail "Talvesync.exe closed after a failure ended with $status"
tr -d '\r' <Log.txt | grep -q ' User closed Talvesync$' || fail "no close line after the failure"
cp Log.txt "$artefacts/error-kept-Log.txt"

# Two copies for two CDUs, each in its own folder (-C FOLDER, and FOLDER alone as a shortcut
# passes it); a second copy for a folder that has one is refused with a message box and exits 1.
mkdir -p captain "first officer"
for side in L R; do
  folder=captain; [ "$side" = R ] && folder="first officer"
  sioc_keys ../cockpit.ssi >"$folder/Talvesync.cfg"
  cat >>"$folder/Talvesync.cfg" <<CFG
VERSION_CHECK=0
CDU_$side=1
MAIN_CDU_WINDOW_X=$([ "$side" = L ] && echo 10 || echo 640)
MAIN_CDU_WINDOW_Y=10
TALVESYNC_AS_CDU_WIDTH=600
TALVESYNC_AS_CDU_HEIGHT=500
CDU_COLOR_R=255
CDU_COLOR_G=200
CDU_COLOR_B=0
CFG
done
(cd / && wine "$exe" -C "$work/captain") & left=$!; pids+=($left)
(cd / && wine "$exe" "$work/first officer") & right=$!; pids+=($right)
wait_for 'window changed into CDU screen' captain/Log.txt 60
wait_for 'window changed into CDU screen' "first officer/Log.txt" 60
for row in $(seq 62 75); do echo "send Qs$row=LEFT ROW $((row - 62))" >&4; done
for row in $(seq 90 103); do echo "send Qs$row=RIGHT ROW $((row - 90))" >&4; done
echo "send Qi89=0" >&4; echo "send Qi91=0" >&4
screen_until "$artefacts/two-cdus.png" cdu_text_shown "the two CDU screens show no text"
(cd / && wine "$exe" -C "$work/captain") & second=$!; pids+=($second)
for _ in $(seq 100); do
  xwininfo -display "$display" -root -tree | grep -q '"Talvesync": .*' && \
    [ "$(xwininfo -display "$display" -root -tree | grep -c '"Talvesync"')" -ge 3 ] && break
  sleep 0.1
done
import -display "$display" -window root "$artefacts/second-copy-refused.png"
[ ! -e captain/Log0.txt ] || fail "the refused copy rotated the running copy's log"
close_window "$left"
for p in "$left" "$right" "$second"; do
  status=0; wait "$p" || status=$?
  expected=0; [ "$p" = "$second" ] && expected=1
  [ "$status" -eq "$expected" ] || fail "copy $p ended with $status, not $expected"
done
tr -d '\r' <captain/Log.txt | grep -q ' User closed Talvesync$' || fail "the captain's copy did not close"
tr -d '\r' <"first officer/Log.txt" | grep -q ' User closed Talvesync$' || fail "the first officer's copy did not close"
cp captain/Log.txt "$artefacts/captain-Log.txt"; cp "first officer/Log.txt" "$artefacts/first-officer-Log.txt"

echo quit >&3; echo quit >&4
echo "e2e-windows: passed (screenshot in $artefacts)"
cd / && rm -rf "$work"
