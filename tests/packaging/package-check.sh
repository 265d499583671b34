#!/usr/bin/env bash
# Checks the Debian package without installing it:
#   package-check.sh PACKAGE.deb SIMULATOR_FOLDER
# lintian; the desktop entry, AppStream data and file type through their validators; then the
# unpacked program under Xvfb with the simulated gauge (SIMULATOR_FOLDER holds libusb-0.1.so.4):
# once as root (when the check is root's) on the tree as unpacked, then, read-only as an
# installed program is for its users, by a user whose home is a fresh temporary folder: a first
# start, a read with Ctrl+R, and a start with a results file named on the command line. Its files
# must land in that home's XDG folders and the unpacked tree must stay exactly as it was.
set -euo pipefail
export LC_ALL=C.UTF-8

deb=$(realpath "$1")
sim=$(realpath "$2")
[[ -f $deb && -f $sim/libusb-0.1.so.4 ]] || { echo "usage: $0 PACKAGE.deb SIMULATOR_FOLDER" >&2; exit 2; }
for tool in lintian desktop-file-validate appstreamcli update-mime-database Xvfb xdotool xclip; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup-deps installs it)" >&2; exit 1; }
done

tmp=$(mktemp -d)
xvfb_pid='' program_pid=''
cleanup() {
  set +e # every step runs: a program that has ended already must not leave the X server behind
  [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  chmod -R u+w "$tmp" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "package check: $*" >&2
  if [[ -s $tmp/program.out ]]; then
    echo "--- the program's output:" >&2
    cat "$tmp/program.out" >&2
  fi
  if [[ -s $tmp/xvfb.err ]]; then
    echo "--- Xvfb's output:" >&2
    cat "$tmp/xvfb.err" >&2
  fi
  exit 1
}
step() { echo "== $*"; }

step "lintian"
lintian_args=(--fail-on 'error,warning' --info)
[[ $(id -u) -eq 0 ]] && lintian_args+=(--allow-root)
lintian "${lintian_args[@]}" "$deb" || fail "lintian found errors or warnings"

step "relations"
# F1 and the About links need the desktop's opener: the package recommends it.
dpkg-deb -f "$deb" Recommends | grep -qw 'xdg-utils' || fail "the package does not recommend xdg-utils"

step "unpack"
root=$tmp/root
dpkg-deb -x "$deb" "$root"

step "program folder and udev rule"
# The folder as the program sees it, through its links into /usr/share.
for f in lum1 vendor.ini Help/Lum1RusHelp.html Help/Lum1EngHelp.html Language/Russian.ini \
  Language/English.ini Language/Russian.frc Language/English.frc; do
  [[ -f $root/usr/lib/lum1/$f ]] || fail "no $f in the program folder"
done
[[ $(readlink -f "$root/usr/bin/lum1") == "$root/usr/lib/lum1/lum1" ]] || fail "/usr/bin/lum1 does not lead to the program"
rules=("$root"/usr/lib/udev/rules.d/*.rules)
[[ -f ${rules[0]} ]] || fail "no udev rule"
for r in "${rules[@]}"; do
  "$(dirname "$0")/udev-rule-test.sh" "$r" || fail "the packaged udev rule $(basename "$r")"
done

step "desktop entry, AppStream data, file type"
desktop=("$root"/usr/share/applications/*.desktop)
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
desktop-file-validate "${desktop[@]}" || fail "desktop-file-validate"
appstreamcli validate --no-net --strict "${metainfo[@]}" || fail "appstreamcli validate"
# The tree as a whole: the metainfo's desktop entry and icon are found where it says.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
mkdir -p "$tmp/mime/packages"
cp "$root"/usr/share/mime/packages/*.xml "$tmp/mime/packages/"
out=$(update-mime-database "$tmp/mime" 2>&1) || fail "update-mime-database: $out"
grep -qx '50:application/x-lum1-results:\*\.lum1' "$tmp/mime/globs2" ||
  fail "no case-insensitive *.lum1 glob in the file type"
grep -qx 'MimeType=application/x-lum1-results;' "${desktop[@]}" ||
  fail "the desktop entry does not open the results file type"

listing() {
  (cd "$root" && find . -printf '%p %y %m %s %T@ %l\n' | sort && find . -type f -exec md5sum {} + | sort)
}
same_listing() {
  local now
  now=$(listing)
  [[ $1 == "$now" ]] && return 0
  diff <(echo "$1") <(echo "$now") >&2 || true
  return 1
}
mkdir -p "$tmp/sim"
cp "$sim/libusb-0.1.so.4" "$tmp/sim/"

step "Xvfb"
# -noreset: without it the server resets when the last client leaves, and a program started in
# that moment finds no display (seen as "could not connect to display" at the second start).
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp -noreset 5>"$tmp/display" 2>"$tmp/xvfb.err" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $tmp/display ]] && break; sleep 0.2; done
[[ -s $tmp/display ]] || { cat "$tmp/xvfb.err" >&2; fail "Xvfb gave no display number"; }
DISPLAY=":$(head -n1 "$tmp/display")"
export DISPLAY
# The display number may come before the server takes clients.
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.2; done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "no X server at $DISPLAY"

# The program with nothing of this shell's environment but what it needs: no XDG variable, so
# the defaults under HOME apply, and never a real session bus.
start_program() {
  "${run_as[@]}" env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" LC_ALL=C.UTF-8 \
    XDG_RUNTIME_DIR="$tmp/runtime" DBUS_SESSION_BUS_ADDRESS="unix:path=$tmp/no-session-bus" \
    LD_LIBRARY_PATH="$tmp/sim" "$root/usr/bin/lum1" "$@" >>"$tmp/program.out" 2>&1 &
  program_pid=$!
}
# Waits up to $2 seconds for a window whose name matches $1; prints its id.
wait_window() {
  local id
  for _ in $(seq $(($2 * 5))); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) || true
    [[ -n $id ]] && { echo "$id"; return 0; }
    kill -0 "$program_pid" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}
# File > Exit, the fourth item of the first menu (Open, Save, Print, Exit; items of later features
# come after them), repeated until the program ends: a busy machine may not have opened the menu
# when the keys arrive. Escape first closes whatever a missed attempt left open.
exit_program() {
  local window=$1 attempt
  for attempt in 1 2 3 4 5; do
    [[ $attempt -gt 1 ]] && { xdotool key Escape 2>/dev/null || true; sleep 0.5; }
    xdotool mousemove --window "$window" 20 10 click 1 2>/dev/null || true
    sleep 1
    xdotool key Down Down Down Down Return 2>/dev/null || true
    for _ in $(seq 30); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.2; done
    kill -0 "$program_pid" 2>/dev/null || break
  done
  kill -0 "$program_pid" 2>/dev/null && fail "File > Exit did not end the program"
  local status=0
  wait "$program_pid" || status=$?
  program_pid=
  [[ $status -eq 0 ]] || fail "the program ended with exit code $status"
}

# The program as the package installs it: its folder has no write bit, so root too keeps its
# files in its home instead of writing into the package's files.
if [[ $(id -u) -eq 0 ]]; then
  step "start as root: nothing written into the package's files"
  run_as=()
  home=$tmp/root-home
  mkdir -p "$home/.config/lum1" "$tmp/runtime"
  chmod 700 "$tmp/runtime"
  printf '[Config]\r\nLangId=Eng\r\n' >"$home/.config/lum1/lum1.ini"
  unpacked=$(listing)
  start_program
  window=$(wait_window 'Asphalt densitometer' 60) || fail "no main window for root"
  exit_program "$window"
  [[ -f $home/.config/lum1/Language/English.ini ]] || fail "root's language files are not in its home"
  same_listing "$unpacked" || fail "a start as root changed the package's files"
  rm -rf "$tmp/runtime"
fi

# An installed program's folder is read-only for its users, and they are not root: the program
# then runs as nobody when the check is root's.
chmod -R a-w "$root"
before=$(listing)
run_as=()
if [[ $(id -u) -eq 0 ]]; then
  run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  chmod 755 "$tmp"
fi
home=$tmp/home
mkdir -p "$home" "$tmp/runtime"
chmod 700 "$tmp/runtime"
[[ $(id -u) -eq 0 ]] && chown nobody:nogroup "$home" "$tmp/runtime"

config=$home/.config/lum1
step "first start: the language is asked, the shipped language files are copied"
start_program
dialog=$(wait_window '^Язык \(Language\)$' 60) || fail "no language dialog"
xdotool mousemove --window "$dialog" 20 72 click 1 # "English"
window=$(wait_window 'Asphalt densitometer' 60) || fail "no main window"
exit_program "$window"
[[ -f $config/lum1.ini ]] || fail "no settings in $config"
grep -q '^LangId=Eng' "$config/lum1.ini" || fail "the language chosen was not saved"
for f in Russian.ini English.ini Russian.frc English.frc; do
  [[ -f $config/Language/$f ]] || fail "no $f in $config/Language"
done

step "second start: Ctrl+R reads the simulated gauge, the exchange log goes to the state folder"
printf '[Debug]\r\nLogUSB=1\r\n' >>"$config/lum1.ini"
start_program
window=$(wait_window 'Asphalt densitometer' 60) || fail "no main window at the second start"
log=$home/.local/state/lum1/LogUSB.log
read_done=0
for _ in 1 2 3; do
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --window "$window" ctrl+r
  for _ in $(seq 100); do grep -qs 'Device closed!' "$log" && { read_done=1; break; }; sleep 0.2; done
  [[ $read_done -eq 1 ]] && break
done
[[ $read_done -eq 1 ]] || fail "no read in $log: $(cat "$log" 2>/dev/null)"
grep -q 'LibUsb ReadData(), 4 byte(s), OK' "$log" || fail "the record count was not read: $(cat "$log")"
sleep 1 # the table fill follows the close by a hand-over
exit_program "$window"
grep -q '^Uses=2' "$config/lum1.ini" || fail "the second close did not save the settings: $(cat "$config/lum1.ini")"
grep -q '^\[FormMain\]' "$config/lum1.ini" || fail "no window settings saved"
[[ -s $home/.local/share/lum1/archive.sqlite ]] || fail "the read was not archived in the data folder"

step "third start as the desktop entry opens a results file: lum1 FILE.lum1 fills the table"
# One record: number 7, 14:05:09 on 5 May 2019, object "M-4", density 2352 (0x45130000).
{
  printf '\007\000\011\005\016\005\005\023\003M-4'
  head -c 40 /dev/zero
  printf '\000\000\023\105'
  head -c 34 /dev/zero
} >"$home/sample.lum1"
[[ $(stat -c %s "$home/sample.lum1") -eq 90 ]] || fail "the sample record is not 90 bytes"
chmod a+r "$home/sample.lum1"
start_program "$home/sample.lum1"
window=$(wait_window 'Asphalt densitometer' 60) || fail "no main window with a file argument"
clip=
for _ in 1 2 3 4 5; do
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --window "$window" ctrl+Home ctrl+c
  sleep 1
  clip=$(xclip -o -selection clipboard 2>/dev/null || true)
  [[ $clip == 7$'\t'14:05:09* ]] && break
done
[[ $clip == 7$'\t'14:05:09*M-4* ]] || fail "the results file named on the command line did not fill the table: '$clip'"
exit_program "$window"

step "batch run without a display: lum1 --export"
status=0
"${run_as[@]}" env -i PATH=/usr/bin:/bin HOME="$home" LC_ALL=C.UTF-8 XDG_RUNTIME_DIR="$tmp/runtime" \
  "$root/usr/bin/lum1" --export csv "$home/sample.lum1" "$home/sample.csv" >>"$tmp/program.out" 2>&1 ||
  status=$?
[[ $status -eq 0 ]] || fail "lum1 --export ended with exit code $status"
grep -q 'M-4' "$home/sample.csv" || fail "the exported file lacks the record: $(cat "$home/sample.csv")"

step "the unpacked program folder is untouched"
same_listing "$before" || fail "the program changed its installed files"
echo "package check passed: $(basename "$deb"), $(stat -c %s "$deb") bytes"
