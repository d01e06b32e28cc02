#!/usr/bin/env bash
# Programs built on the libraries below the windows run without Qt's widgets: the simulator, a
# program that uses the port component alone, and one that prints a report with the files' library.
#
#   without_widgets_test.sh CHRONOSIM PORT_PROGRAM FILES_PROGRAM
set -euo pipefail

chronosim=$1
port_program=$2
files_program=$3
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The shared libraries a program loads, its own and theirs, one name a line.
libraries() {
    local listing
    listing=$(ldd "$1")
    awk '{ print $1 }' <<<"$listing"
}

for program in "$chronosim" "$port_program" "$files_program"; do
    if libraries "$program" | grep -q '^libQt6Widgets'; then
        fail "$(basename "$program") loads libQt6Widgets"
    fi
done

# The port needs Qt Core, so the list read above is the real one.
libraries "$port_program" | grep -q '^libQt6Core' || fail "the port program does not load libQt6Core"

# And the port works there, without an application object: a missing device is reported.
status=0
output=$("$port_program" /nonexistent/tarvex-no-such-port) || status=$?
[ "$status" -eq 1 ] || fail "the port program ended with status $status"
[ "$output" = "Unable to open com port (Error: 2)" ] || fail "the port program wrote: $output"

# And the report is printed there.
report=$(mktemp --suffix=.pdf)
trap 'rm -f "$report"' EXIT
output=$("$files_program" "$report") || fail "the files program ended with status $?"
[ "$(head -c 5 "$report")" = "%PDF-" ] || fail "the files program wrote no PDF: $output"

exit $((failures > 0))
