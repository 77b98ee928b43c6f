# Shared by tools/fuzz, tools/fuzz-all and tools/fuzz-merge (sourced from the repository
# root): the fuzz build, the list of targets, the sanitizer settings and each target's flags.

fuzz_build=build/fuzz

# Every fuzz/NAME.cpp is a target.
fuzz_targets() {
  (cd fuzz && ls ./*.cpp | sed 's|^\./||; s/\.cpp$//')
}

# Configures the fuzz build and builds the given cmake targets (all when none).
fuzz_make() {
  tools/deps fuzz
  # Line tables are all a report's stack needs; full debug information doubles the build.
  CC=clang CXX=clang++ cmake -S . -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" \
    -DZORV_TESTS=OFF -DZORV_FUZZ=ON >/dev/null
  if [ $# -gt 0 ]; then
    cmake --build "$fuzz_build" --target "$@"
  else
    cmake --build "$fuzz_build"
  fi
}

# Any sanitizer report ends the run with a failure; libFuzzer keeps the input that caused it.
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# Flags for one target into the array fuzz_flags: the defaults, then the target's options
# file fuzz/corpus/NAME.options, whose "key = value" lines of the [libfuzzer] section become
# -key=value (a later flag wins). A target without the file, or without max_len in it, gets
# 64 KiB inputs at most.
fuzz_options() {
  local name=$1 file="fuzz/corpus/$1.options" key value
  fuzz_flags=(-max_len=65536 -timeout=30 -rss_limit_mb=4096)
  [ -f "$file" ] || return 0
  local section=""
  while IFS= read -r line || [ -n "$line" ]; do
    line=${line%%[#;]*}
    [[ $line =~ ^[[:space:]]*\[([^]]*)\] ]] && { section=${BASH_REMATCH[1]}; continue; }
    [[ $section == libfuzzer && $line =~ ^[[:space:]]*([A-Za-z_]+)[[:space:]]*=[[:space:]]*([^[:space:]]+) ]] ||
      continue
    key=${BASH_REMATCH[1]} value=${BASH_REMATCH[2]}
    fuzz_flags+=("-$key=$value")
  done <"$file"
}

# Runs target NAME for SECONDS from its committed corpus into build/fuzz/corpus/NAME; a
# finding is saved as build/fuzz/findings/NAME/crash-... (or leak-, timeout-, oom-).
fuzz_run() {
  local name=$1 seconds=$2 seeds=()
  fuzz_options "$name"
  mkdir -p "$fuzz_build/corpus/$name" "$fuzz_build/findings/$name"
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  "$fuzz_build/fuzz/fuzz_$name" "${fuzz_flags[@]}" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$fuzz_build/findings/$name/" "$fuzz_build/corpus/$name" "${seeds[@]}"
}
