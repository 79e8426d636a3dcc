#!/usr/bin/env bash
# Kills two bulk writes with SIGKILL at random moments and checks after each
# kill that the database passes integrity_check and holds the write whole or
# not at all: the import of a generated collection by lyrabook-import, and the
# filing of every poem into a book through the main window (offscreen).
# The fixture: the default database plus POEMS generated poems.
#   bash scripts/killtest.sh [build dir]     (RUNS, POEMS in the environment)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
runs=${RUNS:-12}
poems=${POEMS:-20000}
drive=$build/bin/lyrabook-killdrive
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$work/runtime"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# A random moment in 0..$1 ms, as seconds for sleep; every other one in the
# last third, where the commit is.
moment() {
    local ms=$(( (RANDOM * 32768 + RANDOM) % ($1 + 1) ))
    ((RANDOM % 2)) && ms=$(( $1 - ms / 3 ))
    printf '%d.%03d' $((ms / 1000)) $((ms % 1000))
}

"$drive" package "$work/base" "$poems"
"$drive" package "$work/more" "$poems"
cp "$build/data/poem.mdb" "$work/fixture.mdb"
"$build/bin/lyrabook-import" --keep-source -c tang "$work/base" "$work/fixture.mdb" >/dev/null 2>&1
read -r _ total _ < <("$drive" check "$work/fixture.mdb")
echo "fixture: $total poems"

failures=0
verdict() { # name, state line, allowed poem counts..., allowed filed counts
    local name=$1 state=$2
    read -r integrity count filed <<<"$state"
    if [[ $integrity != ok || " $3 " != *" $count "* || " $4 " != *" $filed "* ]]; then
        echo "FAIL $name: integrity=$integrity poems=$count filed=$filed"
        failures=$((failures + 1))
    fi
}

# Filing: one run through to time the write, then the kills.
mkdir -p "$work/run"
cp "$work/fixture.mdb" "$work/run/poem.mdb"
write_ms=$("$drive" file "$work/run/poem.mdb" | awk '/^done/ {print $2}')
verdict "filing run through" "$("$drive" check "$work/run/poem.mdb")" "$total" "$total"
echo "filing $total poems: ${write_ms} ms"
whole=0 none=0
for ((i = 1; i <= runs; i++)); do
    cp "$work/fixture.mdb" "$work/run/poem.mdb"
    rm -f "$work/run/poem.mdb-journal" "$work/out"
    "$drive" file "$work/run/poem.mdb" >"$work/out" &
    pid=$!
    until grep -q '^writing' "$work/out" 2>/dev/null || ! kill -0 $pid 2>/dev/null; do sleep 0.01; done
    sleep "$(moment "$write_ms")"
    kill -9 $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    state=$("$drive" check "$work/run/poem.mdb")
    verdict "filing kill $i" "$state" "$total" "0 $total"
    [[ $(awk '{print $3}' <<<"$state") == 0 ]] && none=$((none + 1)) || whole=$((whole + 1))
done
echo "filing: $runs kills, written whole $whole, not at all $none"

# Import: one run through to time it, then the kills.
cp "$work/fixture.mdb" "$work/run/poem.mdb"
start=$(now_ms)
"$build/bin/lyrabook-import" --keep-source -c tang "$work/more" "$work/run/poem.mdb" >/dev/null 2>&1
import_ms=$(( $(now_ms) - start ))
verdict "import run through" "$("$drive" check "$work/run/poem.mdb")" "$((total + poems))" 0
echo "importing $poems poems: ${import_ms} ms"
whole=0 none=0
for ((i = 1; i <= runs; i++)); do
    cp "$work/fixture.mdb" "$work/run/poem.mdb"
    rm -f "$work/run/poem.mdb-journal"
    "$build/bin/lyrabook-import" --keep-source -c tang "$work/more" "$work/run/poem.mdb" >/dev/null 2>&1 &
    pid=$!
    sleep "$(moment "$import_ms")"
    kill -9 $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    state=$("$drive" check "$work/run/poem.mdb")
    verdict "import kill $i" "$state" "$total $((total + poems))" 0
    [[ $(awk '{print $2}' <<<"$state") == "$total" ]] && none=$((none + 1)) || whole=$((whole + 1))
done
echo "import: $runs kills, written whole $whole, not at all $none"

if ((failures > 0)); then
    echo "killtest: $failures of $((2 * runs + 2)) runs left the database damaged or half-written"
    exit 1
fi
echo "killtest: $((2 * runs + 2)) runs, integrity ok and all or nothing in every run"
