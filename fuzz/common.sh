# Shared by tools/fuzz, tools/fuzz-all and tools/fuzz-merge (sourced from the repository
# root): the build, the list of targets, the sanitizer settings and each target's flags.

# The targets are built in the tests' instrumented build; what runs find goes apart.
fuzz_build=build/test
fuzz_out=build/fuzz

# Every fuzz/NAME.cpp is a target.
fuzz_targets() {
  (cd fuzz && ls ./*.cpp | sed 's|^\./||; s/\.cpp$//')
}

# Builds the given cmake targets (all when none) in the instrumented build.
fuzz_make() {
  tools/instrumented-build "$@"
}

# The interpreter's stack budget in the instrumented build is three times the release build's.
ulimit -s 65536

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

# Runs target NAME for SECONDS from its committed corpus into $fuzz_out/corpus/NAME; a
# finding is saved as $fuzz_out/findings/NAME/crash-... (or leak-, timeout-, oom-).
fuzz_run() {
  local name=$1 seconds=$2 seeds=()
  fuzz_options "$name"
  mkdir -p "$fuzz_out/corpus/$name" "$fuzz_out/findings/$name"
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  "$fuzz_build/fuzz/fuzz_$name" "${fuzz_flags[@]}" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$fuzz_out/findings/$name/" "$fuzz_out/corpus/$name" "${seeds[@]}"
}
