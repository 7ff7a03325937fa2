#!/usr/bin/env bash
# Native Linux check of the pattern matcher: builds tests/native with clang into build/native,
# runs its sanitizer-instrumented tests with ctest, then fuzzes for a minute on a copy of the
# seed corpus (so the repository's corpus never grows). Exits non-zero on any failure.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build="$repo/build/native"

cmake -S "$repo/tests/native" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2

# ctest prints its summary line ("100% tests passed, ...") itself.
(cd "$build" && ctest -j2 --output-on-failure)

corpus="$build/fuzz-corpus"
rm -rf "$corpus"
cp -r "$repo/tests/updater/regex/corpus" "$corpus"
"$build/regex_fuzz" -max_total_time=60 -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
  -artifact_prefix="$build/" "$corpus"
echo "fuzzing: no crash, leak or time-out in 60 s"
