# Shared by the scripts: the project root and a configure-and-build step.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${JOBS:-2}

# build <dir> <cmake args...> [--target <t>]: configures once, then builds <t>, or
# everything, in <dir>.
build() {
  local dir=$1 targets=()
  shift
  local args=()
  while [[ $# -gt 0 ]]; do
    if [[ $1 == --target ]]; then
      targets=(--target "$2")
      shift 2
    else
      args+=("$1")
      shift
    fi
  done
  cmake -S "$root" -B "$dir" -G Ninja "${args[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs" "${targets[@]}"
}
