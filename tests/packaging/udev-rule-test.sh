#!/usr/bin/env bash
# Checks the gauge's udev rule file: it must be read before systemd acts on the "uaccess" tag,
# and a gauge of either version must get that tag.
#   udev-rule-test.sh RULES_FILE    checks that file
#   udev-rule-test.sh --self-test   shows that the check refuses broken rule files
set -uo pipefail
export LC_ALL=C # udev orders rule files by plain byte comparison of their names

# 71-seat.rules adds the "seat" tag to devices tagged uaccess (logind then moves the access with
# the active session) and 73-seat-late.rules grants the access itself: a tag set by a file read
# after either is set too late.
readonly FIRST_UACCESS_RULES=71-seat.rules
readonly GAUGES=("03eb:0131" "0483:0131")

# A udev glob (with "|" alternatives) against a value.
glob_match() {
  local value=$1 alt
  local IFS='|'
  for alt in $2; do
    # shellcheck disable=SC2053  # the right side is a pattern on purpose
    [[ $value == $alt ]] && return 0
  done
  return 1
}

# The value of a match key for the gauge's USB device node as udev sees it at "add"; the
# empty result with status 1 for a key this check does not model.
device_key() {
  local key=$1 vendor=$2 product=$3
  case $key in
    SUBSYSTEM | SUBSYSTEMS) echo usb ;;
    ACTION) echo add ;;
    'ENV{DEVTYPE}') echo usb_device ;;
    'ENV{MAJOR}') echo 189 ;;
    'ATTR{idVendor}' | 'ATTRS{idVendor}') echo "$vendor" ;;
    'ATTR{idProduct}' | 'ATTRS{idProduct}') echo "$product" ;;
    *) return 1 ;;
  esac
}

# Whether one rule line tags the gauge vendor:product with uaccess.
line_tags_gauge() {
  local line=$1 vendor=$2 product=$3 rest key op value actual tagged=1
  local re='^[[:space:],]*([A-Za-z_]+(\{[^}]*\})?)[[:space:]]*(==|!=|\+=|-=|:=|=)[[:space:]]*"([^"]*)"(.*)$'
  rest=$line
  while [[ $rest =~ $re ]]; do
    key=${BASH_REMATCH[1]} op=${BASH_REMATCH[3]} value=${BASH_REMATCH[4]} rest=${BASH_REMATCH[5]}
    case $op in
      == | !=)
        actual=$(device_key "$key" "$vendor" "$product") || return 1
        if glob_match "$actual" "$value"; then [[ $op == "!=" ]] && return 1
        else [[ $op == "==" ]] && return 1; fi ;;
      *)
        [[ $key == TAG && $op != "-=" && " ${value//,/ } " == *" uaccess "* ]] && tagged=0 ;;
    esac
  done
  [[ -z ${rest//[[:space:],]/} ]] || return 1 # a part this check cannot read: no match claimed
  return $tagged
}

check_file() {
  local file=$1 name id line ok=0
  name=$(basename "$file")
  if [[ ! $name < $FIRST_UACCESS_RULES ]]; then
    echo "$name sorts after $FIRST_UACCESS_RULES: its uaccess tag comes too late" >&2
    ok=1
  fi
  for id in "${GAUGES[@]}"; do
    local found=1
    # Continuation lines joined, comments and blank lines left out.
    while IFS= read -r line; do
      [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
      line_tags_gauge "$line" "${id%:*}" "${id#*:}" && found=0 && break
    done < <(sed -e ':a' -e '/\\$/N; s/\\\n//; ta' "$file")
    if [[ $found -ne 0 ]]; then
      echo "$name gives the gauge $id no uaccess tag" >&2
      ok=1
    fi
  done
  return $ok
}

self_test() {
  local dir status=0 name expect text
  dir=$(mktemp -d) || return 1
  trap 'rm -rf "$dir"' RETURN
  local usb='SUBSYSTEM=="usb", ENV{DEVTYPE}=="usb_device"'
  # expected result | file name | contents
  local cases=(
    "pass|60-lum1.rules|$usb, ATTR{idVendor}==\"03eb\", ATTR{idProduct}==\"0131\", TAG+=\"uaccess\"
$usb, ATTR{idVendor}==\"0483\", ATTR{idProduct}==\"0131\", TAG+=\"uaccess\""
    "pass|60-lum1.rules|# one line, both makers
$usb, \\
  ATTRS{idVendor}==\"03eb|0483\", ATTRS{idProduct}==\"013[01]\", TAG+=\"uaccess\""
    "fail|99-lum1.rules|$usb, ATTR{idVendor}==\"03eb|0483\", ATTR{idProduct}==\"0131\", TAG+=\"uaccess\""
    "fail|72-lum1.rules|$usb, ATTR{idVendor}==\"03eb|0483\", ATTR{idProduct}==\"0131\", TAG+=\"uaccess\""
    "fail|60-lum1.rules|$usb, ATTR{idVendor}==\"03eb\", ATTR{idProduct}==\"0131\", TAG+=\"uaccess\""
    "fail|60-lum1.rules|$usb, ATTR{idVendor}==\"03eb|0483\", ATTR{idProduct}==\"0132\", TAG+=\"uaccess\""
    "fail|60-lum1.rules|$usb, ATTR{idVendor}==\"03eb|0483\", ATTR{idProduct}==\"0131\", MODE=\"0666\""
    "fail|60-lum1.rules|SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"03eb|0483\", ATTRS{idProduct}==\"0131\", TAG+=\"uaccess\""
    "fail|60-lum1.rules|# $usb, ATTR{idVendor}==\"03eb|0483\", ATTR{idProduct}==\"0131\", TAG+=\"uaccess\""
  )
  for c in "${cases[@]}"; do
    expect=${c%%|*} c=${c#*|} name=${c%%|*} text=${c#*|}
    printf '%s\n' "$text" >"$dir/$name"
    if check_file "$dir/$name" 2>/dev/null; then got=pass; else got=fail; fi
    if [[ $got != "$expect" ]]; then
      echo "self-test: expected $expect, got $got for $name:" >&2
      printf '%s\n' "$text" >&2
      status=1
    fi
    rm -f "$dir/$name"
  done
  return $status
}

case ${1:-} in
  --self-test) self_test ;;
  "") echo "usage: $0 RULES_FILE | --self-test" >&2; exit 2 ;;
  *) check_file "$1" ;;
esac
