#!/usr/bin/env bash
# Installs the Debian 12 packages that the given tasks need, and only those, saying which and why:
#
#   install-deps.sh [TASK...]    run (the default), test, asan, fuzz, bench, package, screenshots, all
#
# Each make target asks for its own task, so a first `make run` installs only what building and
# running Corvane needs. Safe to run again: when everything is present it returns without touching
# apt. Uses sudo when not root, and waits up to five minutes for another package manager to finish.
set -euo pipefail

lock_wait=300

declare -A reason_of
ordered=()
want() {
  local reason=$1 package
  shift
  for package; do
    if [[ -z ${reason_of[$package]:-} ]]; then
      reason_of[$package]=$reason
      ordered+=("$package")
    fi
  done
}

build_tools() {
  want "the compiler, CMake and Ninja" build-essential cmake ninja-build pkg-config
}
qt_core() {
  # Brings moc and uic, the GL and Vulkan headers Qt's GUI modules declare, and the window plugins.
  want "Qt 6 headers, tools and the libraries Corvane links" qt6-base-dev
  want "lupdate and lrelease, and the CMake functions that compile the catalogues under translations/" \
    qt6-l10n-tools qt6-tools-dev
}

task_run() {
  build_tools
  qt_core
  want "Qt's window system plugins and a font to show the window" qt6-qpa-plugins fonts-dejavu-core
  want "Qt's own texts (standard buttons, the file chooser) in the user's language" qt6-translations-l10n
  want "the demo file's attributes (plistlib, setfattr)" python3 attr
}
task_test() {
  task_run
  want "the real peers tests check against (plistlib, getfattr, throwaway certificates)" python3 attr openssl
  want "a private display and session bus, windows listed and typed into" xvfb dbus-daemon x11-utils xdotool
  want "the icons, and what the packaging test validates installed files and associations with" \
    librsvg2-bin desktop-file-utils appstream libxml2-utils man-db file gzip libglib2.0-bin
  want "the listing's JSON read by a strict reader, over python's own property-list test vectors" \
    jq libpython3.11-testsuite
  want "the shells whose completion the packaging test runs" zsh fish
}
task_asan() {
  task_test
}
task_fuzz() {
  build_tools
  qt_core
  want "libFuzzer with clang 14, AddressSanitizer and UBSan" clang-14 libfuzzer-14-dev libclang-rt-14-dev
}
task_bench() {
  build_tools
  qt_core
  want "Google Benchmark, and libplist and getfattr to compare against" libbenchmark-dev libplist-dev attr
  want "the benchmark files' attributes and the results table" python3
  want "counting system calls as bench/README.md does" strace
  want "peak memory of a walk beside getfattr's (bench/tree-walk.sh)" time
}
task_package() {
  # The package check packs the build that `make test` made and runs the same validators.
  task_test
  want "the .deb: dpkg-shlibdeps for its dependencies, objdump for the check" dpkg-dev binutils
}
task_screenshots() {
  want "Corvane in a virtual X server with a window manager, and screenshots of it" \
    xvfb xauth openbox imagemagick x11-apps
}

tasks=("$@")
[[ ${#tasks[@]} -gt 0 ]] || tasks=(run)
for task in "${tasks[@]}"; do
  case $task in
    run | test | asan | fuzz | bench | package | screenshots) "task_$task" ;;
    all) for each in run test fuzz bench package screenshots; do "task_$each"; done ;;
    *)
      echo "install-deps.sh: unknown task '$task' (run, test, asan, fuzz, bench, package, screenshots, all)" >&2
      exit 2
      ;;
  esac
done

missing=()
for package in "${ordered[@]}"; do
  if ! dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qx installed; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if ! command -v apt-get >/dev/null; then
  echo "install-deps.sh: no apt-get here; install the equivalents of these Debian 12 packages: ${missing[*]}" >&2
  exit 1
fi
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "install-deps.sh: run as root, or install sudo, to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi

echo "Installing ${#missing[@]} Debian package(s) for: ${tasks[*]} (apt adds what they depend on)"
declare -A listed
for package in "${missing[@]}"; do
  reason=${reason_of[$package]}
  [[ -z ${listed[$reason]:-} ]] || continue
  listed[$reason]=1
  names=()
  for other in "${missing[@]}"; do
    [[ ${reason_of[$other]} == "$reason" ]] && names+=("$other")
  done
  printf '  %s: %s\n' "$reason" "${names[*]}"
done

# apt waits for dpkg's own lock (DPkg::Lock::Timeout) but gives up at once on the package lists' and
# the download cache's locks, which another apt holds while it updates or downloads; then the call is
# tried again until the same five minutes have passed. Its complaints about those locks are said once.
apt_get() {
  local deadline=$((SECONDS + lock_wait)) log status said=
  log=$(mktemp)
  while true; do
    { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout="$lock_wait" "$@" 2>&1
      echo $? >"$log.status"; } | tee "$log" | grep --line-buffered -v -e '^E: Could not get lock' -e '^E: Unable to lock' || :
    status=$(cat "$log.status")
    if [[ $status -eq 0 ]] || ! grep -q 'Could not get lock' "$log"; then
      break
    elif ((SECONDS >= deadline)); then
      grep -m1 'Could not get lock' "$log" >&2
      break
    elif [[ -z $said ]]; then
      echo "Another package manager is busy ($(grep -m1 -o 'held by process .*' "$log" || echo 'apt')); waiting for it..."
      said=1
    fi
    sleep 5
  done
  rm -f "$log" "$log.status"
  return "$status"
}

echo "Waiting up to $((lock_wait / 60)) minutes if another package manager holds apt's locks."
apt_get update -qq
apt_get install -y -qq --no-install-recommends "${missing[@]}"
