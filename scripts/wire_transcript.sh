#!/usr/bin/env bash
# The wire and dialog transcript of a fixed session on the simulated instrument, for comparing
# two builds byte for byte (a refactoring must not change it): the real binary on a private Xvfb
# display, driven with xdotool through a 2-cycle polish run and a V-I test from 4 to 6 V,
# then SIGTERM.
#   usage: scripts/wire_transcript.sh BINARY OUT [DISPLAY-NUMBER]
#   e.g.   scripts/wire_transcript.sh build/ui/velmar /tmp/after.txt && cmp /tmp/before.txt /tmp/after.txt
set -u
bin=$1; out=$2; disp=:${3:-77}
work=$(mktemp -d); mkdir -p $work/data
printf '[Motion]\nHomeSteps=156\nPolishSteps=312\nElectrolyteSteps=2343\n' > $work/data/Velmar.ini
Xvfb $disp -screen 0 1024x665x24 >/dev/null 2>&1 & xv=$!
sleep 1
export DISPLAY=$disp QT_QPA_PLATFORM=xcb XDG_DATA_HOME=$work/data
$bin --simulate=20 --transcript=$out >/dev/null 2>&1 & app=$!
waitline() { for i in $(seq 1 ${2:-600}); do grep -qF "$1" $out 2>/dev/null && return 0; sleep 0.1; done; echo "timeout waiting for $1"; return 1; }
waitline "wire: GT -156"; sleep 1.5
xdotool mousemove 148 528 click 1; xdotool type --delay 50 2
xdotool mousemove 488 626 click 1
waitline "dialog: Information: Run Stopped: Number Cycles" 900
xdotool search --sync --name "^Information$" windowfocus key Return
sleep 3
# V-I test 4..6
xdotool mousemove 728 ${VI_Y:-376} click --repeat 3 1; xdotool key ctrl+a; xdotool type --delay 50 4
xdotool mousemove 816 ${VI_Y:-376} click --repeat 3 1; xdotool key ctrl+a; xdotool type --delay 50 6
sleep 0.5
xdotool mousemove 764 $(( ${VI_Y:-376} + 34 )) click 1
for i in $(seq 1 600); do tail -1 $out | grep -q "RY 0" && grep -q "SP 1024 6\|Test" $out && break; sleep 0.2; done
sleep 3
kill -TERM $app; wait $app
kill $xv; rm -rf $work
