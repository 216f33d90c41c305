#!/bin/sh
# The settings scenario run through both settings stores and compared: the
# settings file natively, the registry of the Windows build's Wine prefix.
#   compare-settings.sh NATIVE_TESTS WIN64_BUILD_DIR
# Both runs seed one fixture, load, change and save twice (the test
# SettingsCrossBackend.ScenarioLeavesTheSameTree) and keep their root. Then
#   1. the dumps each run printed must be the same lines;
#   2. the native file and the registry editor's export of the Wine root
#      (UTF-16 turned into UTF-8) must hold the same keys and values, once
#      both are reduced to the root's keys, names without case, sorted.
# Exit 0 when they agree, 1 when not, 77 when the Windows build is missing.
set -eu

native=$1
win64=$2
exe="$win64/bin/quillane_core_tests.exe"
run="$win64/wine-run.sh"
if [ ! -x "$run" ] || [ ! -f "$exe" ]; then
    echo "no Windows build with quillane_core_tests.exe in $win64: skipped"
    exit 77
fi
work=$(mktemp -d)
root="cross-$$"
key="HKEY_CURRENT_USER\\Software\\Orvanic\\QuillaneTest\\$root"
cleanup() {
    "$run" reg delete "$key" /f </dev/null >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

export QUILLANE_SETTINGS_TEST_ROOT="$root" QUILLANE_SETTINGS_KEEP=1 QUILLANE_SETTINGS_DUMP=1
filter=--gtest_filter=SettingsCrossBackend.*
QUILLANE_SETTINGS="$work/native.reg" "$native" "$filter" >"$work/native.out" 2>&1 ||
    { cat "$work/native.out"; echo "native run failed"; exit 1; }
"$run" "$exe" "$filter" </dev/null >"$work/wine.out" 2>&1 ||
    { cat "$work/wine.out"; echo "Wine run failed"; exit 1; }
for side in native wine; do
    tr -d '\r' <"$work/$side.out" | sed -n 's/^settings-dump: //p' >"$work/$side.dump"
done
if [ ! -s "$work/native.dump" ]; then
    echo "the native run printed no dump"
    exit 1
fi
status=0
if ! diff -u "$work/native.dump" "$work/wine.dump"; then
    echo "the dumps differ"
    status=1
fi

"$run" regedit /E "Z:$work/wine.reg" "$key" </dev/null >/dev/null 2>&1 || true
if [ ! -s "$work/wine.reg" ]; then
    echo "the registry editor exported nothing"
    exit 1
fi
python3 - "$work/native.reg" "$work/wine.reg" "$key" <<'PY' || status=1
import sys

def load(path, root):
    data = open(path, "rb").read()
    text = data[2:].decode("utf-16-le") if data[:2] == b"\xff\xfe" else data.decode("utf-8")
    sections, current = {}, None
    lines = text.replace("\r\n", "\n").split("\n")
    for line in lines:
        if line.startswith("[") and line.endswith("]"):
            path_ = line[1:-1].lower()
            inside = path_ == root or path_.startswith(root + "\\")
            current = sections.setdefault(path_, []) if inside else None
        elif current is not None and line.strip():
            name, _, value = line.partition("=")
            current.append(name.lower() + "=" + value)
    return {k: sorted(v) for k, v in sections.items()}

root = sys.argv[3].lower()
native, wine = load(sys.argv[1], root), load(sys.argv[2], root)
ok = True
for section in sorted(set(native) | set(wine)):
    a, b = native.get(section), wine.get(section)
    if a != b:
        ok = False
        print("[%s]\n  native: %s\n  wine:   %s" % (section, a, b))
print("%d keys compared" % len(set(native) | set(wine)))
sys.exit(0 if ok else 1)
PY
exit $status
