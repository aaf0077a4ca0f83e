#!/bin/sh
# The command line both programs share: --version and --help print on
# standard output and exit 0; a usage error prints the usage on standard
# error and exits 2. No display is offered: the editor answers before it
# would need one.
# usage: usage.sh VERSION DLGTOOL [TALKWRIGHT]
set -u
version=$1
dlgtool=$2
talkwright=${3:-}
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
failed=0

# check WHAT STATUS OUT ERR COMMAND...: OUT and ERR are patterns that the
# whole of standard output and standard error must match.
check() {
    what=$1 status=$2 outPattern=$3 errPattern=$4
    shift 4
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$out" 2>"$err"
    got=$?
    case "$(cat "$out")" in $outPattern) ;; *) got="$got, other output" ;; esac
    case "$(cat "$err")" in $errPattern) ;; *) got="$got, other errors" ;; esac
    if [ "$got" != "$status" ]; then
        echo "$what: expected status $status, got $got"
        sed 's/^/  out: /' "$out"
        sed 's/^/  err: /' "$err"
        failed=1
    fi
}

check "dlgtool --version" 0 "dlgtool $version" "" "$dlgtool" --version
check "dlgtool --help" 0 "usage: dlgtool format *dlgtool --help | --version*" "" "$dlgtool" --help
check "dlgtool without a command" 2 "" "usage: dlgtool format *dlgtool --help | --version" "$dlgtool"
check "dlgtool --version with an argument" 2 "" "usage: dlgtool --version" "$dlgtool" --version now
check "dlgtool --help names spell" 0 "*dlgtool spell ?--lang LANG? ?--words FILE?... ?--format text|json? PATH...*" "" "$dlgtool" --help
check "dlgtool spell without a path" 2 "" "usage: dlgtool spell *" "$dlgtool" spell --lang en_US
check "dlgtool --help names diff, show and merge" 0 "*dlgtool diff OLD NEW*dlgtool show FILE*dlgtool merge BASE OURS THEIRS*" "" "$dlgtool" --help
check "dlgtool diff of one file" 2 "" "usage: dlgtool diff OLD NEW *" "$dlgtool" diff a
check "dlgtool show without a file" 2 "" "usage: dlgtool show FILE" "$dlgtool" show
check "dlgtool merge of two files" 2 "" "usage: dlgtool merge BASE OURS THEIRS *" "$dlgtool" merge a b
check "dlgtool --help names po and script" 0 "*dlgtool po extract FILE...*dlgtool po check FILE LANG.po*dlgtool script FILE...*" "" "$dlgtool" --help
check "dlgtool po without what to do" 2 "" "usage: dlgtool po extract *" "$dlgtool" po
check "dlgtool script without a file" 2 "" "usage: dlgtool script FILE... [[]--format csv] [[]-o OUT]" "$dlgtool" script
check "dlgtool find without a path" 2 "" "usage: dlgtool find \[--case\] \[--words\] \[--regex\] TEXT PATH..." "$dlgtool" find lamp
check "dlgtool uses without a path" 2 "" "usage: dlgtool uses PATH... \[--format text|json\]" "$dlgtool" uses
if [ -n "$talkwright" ]; then
    check "talkwright --version" 0 "talkwright $version" "" "$talkwright" --version
    check "talkwright --help" 0 "usage: talkwright *talkwright --help | --version*" "" "$talkwright" --help
    check "talkwright -version, after a switch it does not know" 0 "talkwright $version" "" "$talkwright" -x -version
fi
exit $failed
