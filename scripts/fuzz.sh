#!/usr/bin/env bash
# Builds the libFuzzer targets with AddressSanitizer and UndefinedBehaviorSanitizer (clang, in build-fuzz/),
# seeds each from the repository's test data, and runs each for SECONDS (default 60). Prints the executions
# per target; exits 1 when a target found a crash, a leak or a hang (the input is kept in
# build-fuzz/artifacts/). Needs clang and libclang-rt-14-dev: `scripts/fuzz.sh --install` installs them first
# (Debian 12, root). CI does not fuzz, so scripts/install-deps.sh does not install them.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" == "--install" ]]; then
    shift
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends clang libclang-rt-14-dev
fi
seconds="${1:-60}"
build=build-fuzz
targets=(fuzz_analyser fuzz_colouring fuzz_json fuzz_snapshot fuzz_filter)

launcher=()
if command -v ccache > /dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQORVEL_FUZZ=ON -DQORVEL_SANITIZE=ON -DQORVEL_BUILD_TESTS=OFF -DQORVEL_BUILD_BENCH=OFF > /dev/null
cmake --build "$build" --target "${targets[@]}" fuzz_seeds -j2

# Seeds: the test data, one input per file or per listed statement.
corpus="$build/corpus"
rm -rf "$corpus/seeds"
mkdir -p "$corpus/seeds"/{analyser,colouring,json,snapshot,filter} "$build/artifacts"
seed_lines() {  # DIR PREFIX: each line of stdin as one file
    local n=0
    while IFS= read -r line; do
        [[ -n "$line" ]] && printf '%s' "$line" > "$1/$2-$((n++))"
    done
}
cp tests/host/jet/data/*.sql "$corpus/seeds/analyser/"
sed -n 's/^[0-9]*|//p' tests/host/jet/data/accepted.txt | seed_lines "$corpus/seeds/analyser" accepted
sed -n 's/^sql: //p' tests/host/jet/data/errors.txt | seed_lines "$corpus/seeds/analyser" error
cp tests/colouring/data/*.sql tests/host/jet/data/*.sql "$corpus/seeds/colouring/"
find samples tests -name '*.json' -exec cp {} "$corpus/seeds/json/" \;
"$build/bin/fuzz_seeds" "$corpus/seeds/snapshot" tests/colouring/data/*.sql
cp tests/colouring/data/*.sql "$corpus/seeds/snapshot/"
{
    grep -oh '"[^"]*\(=\|Like\|Between\| In \|Is \)[^"]*"' tests/host/RecordsetTest.cpp | tr -d '"' |
        sed -E -n 's/.* WHERE (.*) ORDER BY .*/\1/p; t; s/.* WHERE (.*)/\1/p; t; /^[^S]/p'
    sed -n 's/^sql: .* WHERE //p' tests/host/jet/data/errors.txt
} | seed_lines "$corpus/seeds/filter" criteria

status=0
summary=()
for target in "${targets[@]}"; do
    name="${target#fuzz_}"
    mkdir -p "$corpus/$name"
    log="$build/$target.log"
    echo "== $target: ${seconds}s"
    if ! "$build/bin/$target" "$corpus/$name" "$corpus/seeds/$name" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" \
        > "$log" 2>&1; then
        status=1
        echo "   FOUND A PROBLEM: see $log and $build/artifacts/"
        grep -m3 -E 'ERROR|SUMMARY|deadly|timeout|leak' "$log" || true
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    summary+=("$(printf '%-16s %12s executions in %ss' "$target" "${runs:-?}" "$seconds")")
done
printf '%s\n' "" "${summary[@]}"
exit $status
