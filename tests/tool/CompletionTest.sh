#!/bin/bash
# Sources the completion script given as $1 and checks the words it offers in a folder of sample
# files. Prints each mismatch; the exit status counts them.
source "$1" || exit 1
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
touch a.gs b.fgs c.png d.txt E.GS lang.rtx p.gpl
mkdir sub

failures=0
# expect "EXPECTED WORDS" WORD...: the line being completed, its last word the one completed.
expect() {
    local expected=$1
    shift
    COMP_WORDS=(zobl-tool "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _zobl_tool
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd ' ')
    if [[ $got != "$expected" ]]; then
        echo "zobl-tool $*: expected '$expected', got '$got'"
        ((failures++))
    fi
}

expect "info" i
expect "sim-import sim-list" sim
expect "--help" --h
expect "E.GS a.gs b.fgs sub" info ""
expect "" info a.gs ""
expect "E.GS a.gs b.fgs sub" --lang lang.rtx convert a.gs ""
expect "lang.rtx sub" --lang ""
expect "c.png sub" to-png a.gs ""
expect "c.png sub" from-png ""
expect "E.GS a.gs sub" from-png c.png ""
expect "b.fgs sub" from-png c.png --into ""
expect "" from-png c.png --into b.fgs ""
expect "--into" from-png c.png --i
expect "--into --nearest" from-png --
expect "--nearest" from-png c.png --into b.fgs --
expect "E.GS a.gs sub" from-png --nearest c.png ""
expect "--night --train --zoom" to-png --
expect "--night --zoom" to-png --train Zug --
expect "" to-png --train ""
expect "" to-png --train 1 --zoom ""
expect "b.fgs sub" to-png --zoom 2 --train "Güterzug" ""
expect "c.png sub" to-png --train 2 b.fgs ""
expect "1 2 3" to-png --night ""
expect "c.png sub" to-png --night 2 a.gs ""
expect "sub" sim-list --sim ""
expect "--set --sim" sim-import --into b.fgs --s
expect "palette" pa
expect "thumbnail" th
expect "E.GS a.gs b.fgs sub" thumbnail -s 256 ""
expect "c.png sub" thumbnail a.gs ""
expect "gpl hex pal png" palette --format ""
expect "1 2 3" palette --night ""
expect "--format --night" palette --
expect "c.png p.gpl sub" palette --night 2 ""
expect "" palette --format hex p.gpl ""
exit $failures
