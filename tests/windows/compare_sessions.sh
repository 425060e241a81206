#!/usr/bin/env bash
# Runs kadrelle.exe under Wine, loading QV12_Kadrelle.aip as the host does,
# and holds every output against the Linux kadrelle's, byte for byte: every
# session of examples/ as JSON and as SVG, the built-in demo, the dialog's
# pictures and the listings. Checks the outputs, never an exit status alone
# (Wine can fail to start a program and still exit 0).
#
#   compare_sessions.sh WINDOWS_BUILD LINUX_KADRELLE EXAMPLES_DIR
#
# Wine runs in a prefix of the Windows build's own (WINDOWS_BUILD/wineprefix).
# Prints one line per check and "N passed, N failed"; exits 1 on a failure.
set -uo pipefail

windows=$(realpath "$1")
linux=$(realpath "$2")
examples=$(realpath "$3")
exe=$windows/kadrelle.exe

export WINEPREFIX=$windows/wineprefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    wineboot --init >/dev/null 2>&1
    wineserver --wait
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1"; }

# same NAME FILE_LINUX FILE_WINDOWS: both written, not empty, byte-identical.
same() {
    if [[ ! -s $2 ]]; then
        fail "$1: the Linux program wrote nothing"
    elif [[ ! -s $3 ]]; then
        fail "$1: kadrelle.exe wrote nothing"
    elif cmp -s "$2" "$3"; then
        pass "$1 ($(wc -c <"$3") bytes, identical)"
    else
        fail "$1: outputs differ: $(cmp "$2" "$3" 2>&1 | head -1)"
    fi
}

cd "$examples"
for session in *-session.json; do
    name=${session%.json}
    for format in json svg; do
        "$linux" paint --session "$session" --format "$format" -o "$work/$name.linux.$format" 2>/dev/null
        wine "$exe" paint --session "$session" --format "$format" -o "$work/$name.windows.$format" 2>/dev/null
        same "$session as $format" "$work/$name.linux.$format" "$work/$name.windows.$format"
    done
done

cd "$work"
"$linux" paint -o demo.linux.svg 2>/dev/null
wine "$exe" paint -o demo.windows.svg 2>/dev/null
same "the built-in demo" demo.linux.svg demo.windows.svg

for page in 1 2 3 4 5; do
    "$linux" dialog --page "$page" --preset 5 -o "dialog$page.linux.svg" 2>/dev/null
    wine "$exe" dialog --page "$page" --preset 5 -o "dialog$page.windows.svg" 2>/dev/null
    same "options dialog page $page" "dialog$page.linux.svg" "dialog$page.windows.svg"
done

for listing in presets settings; do
    "$linux" "$listing" >"$listing.linux.txt" 2>/dev/null
    wine "$exe" "$listing" >"$listing.windows.txt" 2>/dev/null
    same "kadrelle $listing on the standard output" "$listing.linux.txt" "$listing.windows.txt"
done

# The plug-in is the module, not part of the program: without the module
# beside it kadrelle.exe cannot paint, and says which file it missed.
mkdir alone
cp "$exe" alone/
wine alone/kadrelle.exe paint -o alone/out.svg >alone/stdout.txt 2>alone/stderr.txt
if [[ ! -e alone/out.svg ]] && grep -q "QV12_Kadrelle.aip: cannot load the plug-in module" alone/stderr.txt; then
    pass "without the module kadrelle.exe paints nothing and names the module"
else
    fail "without the module: $(head -c 300 alone/stderr.txt)"
fi
# --module names the module to load instead.
wine alone/kadrelle.exe --module "$windows/QV12_Kadrelle.aip" paint -o alone/out.svg 2>/dev/null
same "--module loads the named module" demo.linux.svg alone/out.svg

# The cursor: "AI Track Cursor" makes the module's cursor resource the
# system's current cursor through LoadCursorA and SetCursor.
wine "$windows/kadrelle_cursor_check.exe" "$windows/QV12_Kadrelle.aip" >cursor.txt 2>&1
if grep -q "^cursor: [1-9][0-9]* passed, 0 failed" cursor.txt && ! grep -q "^FAIL" cursor.txt; then
    pass "the tool's cursor is set through LoadCursorA and SetCursor ($(grep -c '^ok' cursor.txt) checks)"
else
    fail "the tool's cursor: $(grep -v '^ok' cursor.txt | head -c 400)"
fi

wineserver --wait 2>/dev/null || true
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
