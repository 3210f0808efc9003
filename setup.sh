#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   ./setup.sh run    install what is missing, build the programs, add it to the user's desktop menu, start
#                     storeadjust on the demo database
#   ./setup.sh test   install what is missing, build, run every test (plus a sanitizer build)
#   ./setup.sh bench  build optimised and run the benchmarks
#   ./setup.sh package  build and make build/storeadjust_*.deb (install: apt-get install ./build/storeadjust_*.deb)
#   ./setup.sh deps   install what is missing, nothing else
#   ./setup.sh --help  what each command does
set -euo pipefail
# Started with no environment at all (env -i, a service, cron), bash searches a PATH of its own but
# hands none on: cmake, which finds its own modules from the PATH it is given, stopped with "Could
# not find CMAKE_ROOT". What setup starts gets the system's usual one.
[[ $(declare -p PATH 2>/dev/null) == "declare -x"* ]] || export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
# Where the user called setup from: `run` starts the program there, so that a file its options
# name (./setup.sh run --db bills.db) is the user's, not one in this tree.
caller=$PWD
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake pkg-config ninja-build ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev qt6-translations-l10n qt6-wayland
  libsqlite3-dev sqlite3
  unixodbc unixodbc-dev odbcinst tdsodbc libsqliteodbc
  libxlsxwriter-dev zlib1g-dev libsodium-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-wqy-microhei
  poppler-utils unzip
  desktop-file-utils dpkg-dev file
)

# A fresh Debian installed with a root password has no sudo: say how to install as root instead.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"
  elif command -v sudo >/dev/null 2>&1; then sudo "$@"
  else
    echo "setup.sh: installing the missing packages needs root, and sudo is not installed." >&2
    echo "  As root run: $PWD/setup.sh deps   (or install sudo), then run this command again." >&2
    return 1
  fi
}

# `command | grep -q` fails under pipefail whenever grep stops reading at its first match before the
# command has written everything: the command dies of SIGPIPE (apt-cache policy does, every time).
# Read the whole output first; a command that fails prints nothing that counts.
prints() {  # pattern command...
  local pattern=$1 out
  shift
  out=$("$@") || return 1
  grep -q -- "$pattern" <<<"$out"
}

# A fresh Debian desktop updates itself in its first minutes (unattended-upgrades, the software
# centre), holding the package lock meanwhile: apt-get stopped at once with "Could not get lock"
# and setup with it. It waits for them now, up to ten minutes.
apt_get() {
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 "$@"
}

install_missing() {
  local missing=()
  # The first word is what the administrator wants of the package: one he holds at its version
  # ("hold ok installed") is installed all the same. Taken for missing, it was handed to apt, which
  # stops the whole install on a held package whenever a newer one is offered.
  for p in "${PACKAGES[@]}"; do
    prints " ok installed$" dpkg-query -W -f='${Status}' "$p" 2>/dev/null || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    # Without a network apt only warns, package by package; what setup could not do, and why, is
    # then said once at the end. Its own words still go to the terminal.
    local update_log unreachable=
    update_log=$(apt_get update -qq 2>&1) || { printf '%s\n' "$update_log" >&2; return 1; }
    [ -z "$update_log" ] || printf '%s\n' "$update_log" >&2
    grep -q '^W: Failed to fetch' <<<"$update_log" && unreachable="this machine could not reach its package sources (no network, or a proxy apt does not know)"
    # A Debian installed from its DVD without a network mirror has only the DVD's packages, and apt
    # would stop at the first one it lacks with its own words: name them all, and what to do.
    local unavailable=()
    for p in "${missing[@]}"; do
      prints '^ *Candidate: [^(]' env LC_ALL=C apt-cache policy "$p" 2>/dev/null || unavailable+=("$p")
    done
    if [ ${#unavailable[@]} -gt 0 ] && [ -n "$unreachable" ]; then
      echo "setup.sh: these packages are needed and could not be installed: ${unavailable[*]}: $unreachable." >&2
      echo "  Connect it to the network, then run this command again. Nothing was installed." >&2
      return 1
    fi
    if [ ${#unavailable[@]} -gt 0 ]; then
      echo "setup.sh: these packages are needed, and no package source of this machine offers them: ${unavailable[*]}" >&2
      echo "  A Debian installed from DVD has only the DVD's packages until a network mirror is added. As root add" >&2
      echo "  the line  deb http://deb.debian.org/debian bookworm main  to /etc/apt/sources.list (or choose a" >&2
      echo "  mirror in 'Software & Updates'), then run this command again. Nothing was installed." >&2
      return 1
    fi
    if ! apt_get install -y -qq "${missing[@]}"; then
      echo "setup.sh: these packages are needed and were not installed: ${missing[*]}${unreachable:+: $unreachable}." >&2
      echo "  ${unreachable:+Connect it to the network, then }run this command again; apt's own words above say what failed." >&2
      return 1
    fi
  fi
}

# Run with sudo (or as root in a user's tree), the program's build would belong to root: the user
# could neither rebuild nor remove it, the menu entry would go to root's home, and the program
# would start without the user's desktop (sudo keeps no DISPLAY) on root's demo database. Only the
# packages need root, and as_root asks for it; so `run` as root is refused before anything is
# written. A tree root owns is root's to build; the test, bench and package steps, which start no
# program on a desktop, go on as root wherever CI runs them.
refuse_build_as_root() {  # command
  [ "$(id -u)" -eq 0 ] || return 0
  local user=${SUDO_USER:-}
  [ "$user" = root ] && user=
  [ -n "$user" ] || [ "$(stat -c %u .)" -eq 0 ] || user=$(stat -c %U .)
  [ -n "$user" ] || return 0
  echo "setup.sh: './setup.sh $1' is not to be run as root (sudo): the build would belong to root, and the program would" >&2
  echo "  not reach $user's desktop. Run it as $user, without sudo: ./setup.sh $1" >&2
  echo "  It asks for root itself, only to install missing packages (or install them first: sudo ./setup.sh deps)." >&2
  exit 1
}

usage() {
  cat <<EOF
usage: $0 run|test|bench|package|deps
  run      install what is missing, build the programs, add storeadjust to your desktop menu and start it on the
           demo database: sign in as operator 001 with the password demo001. Run it as yourself,
           not with sudo: it asks for root itself, only to install packages. Options after run go
           to storeadjust, from the folder you call setup in: ./setup.sh run --db bills.db
  test     install what is missing, build and run every test (plus a sanitizer build)
  bench    install what is missing, build optimised and run the benchmarks
  package  install what is missing, build and make build/storeadjust_*.deb
           (then: sudo apt-get install ./build/storeadjust_*.deb)
  deps     only install the Debian packages that are missing
EOF
}

jobs() { nproc 2>/dev/null || echo 2; }

# A build folder cmake made for this tree somewhere else (the tree was moved, renamed or copied
# with its build) or with another generator: cmake refuses its cache with "CMakeCache.txt directory
# ... is different" and stops. Setup made it, so setup makes it again.
cache_from_elsewhere() {  # dir
  local cache=$1/CMakeCache.txt home made generator
  [ -f "$cache" ] || return 1
  home=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
  made=$(sed -n 's/^CMAKE_CACHEFILE_DIR:INTERNAL=//p' "$cache")
  generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$cache")
  # Compared as files, not as names: a tree reached through a symbolic link is the same tree.
  if ! { [ -n "$home" ] && [ "$home" -ef . ] && [ -n "$made" ] && [ "$made" -ef "$1" ]; }; then
    echo "setup.sh: $1/ was made for ${home:-another folder} (moved or copied since): it is made again here." >&2
  elif [ "$generator" != Ninja ]; then
    echo "setup.sh: $1/ was made for ${generator:-another generator}, not Ninja: it is made again." >&2
  else
    return 1
  fi
}

# A build folder made by another user (a run as root in this tree: sudo ./setup.sh package, say)
# cannot be written: cmake then stops with "Cannot open file for write ... Inappropriate ioctl for
# device". Said instead, with what to do; so is a tree the user cannot write at all.
refuse_unwritable() {  # dir
  local blocked=
  if [ -e "$1" ]; then
    blocked=$(find "$1" ! -type l ! -writable -print -quit 2>/dev/null)
  elif ! [ -w . ]; then
    echo "setup.sh: $(id -un) cannot write in $PWD (it belongs to $(stat -c %U .)), so nothing can be built here." >&2
    echo "  Copy the folder into one of yours (cp -r '$PWD' ~/) and run setup.sh there." >&2
    exit 1
  fi
  [ -n "$blocked" ] || return 0
  echo "setup.sh: $(id -un) cannot write $PWD/$blocked, which belongs to $(stat -c %U "$blocked"): $1/ was made by a run as" >&2
  echo "  another user (as root, or with sudo). Remove it as root (sudo rm -rf '$PWD/$1'), then run this command again." >&2
  exit 1
}

configure() {  # dir, extra cmake args...
  local dir=$1 fresh=()
  shift
  refuse_unwritable "$dir"
  if cache_from_elsewhere "$dir"; then fresh=(--fresh); fi
  cmake "${fresh[@]}" -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@" >/dev/null
}

configure_and_build() {  # dir, extra cmake args...
  configure "$@"
  cmake --build "$1" -j "$(jobs)"
}

make_package() {  # dir: an already built tree
  rm -f "$1"/storeadjust_*.deb
  ( cd "$1" && cpack -G DEB >cpack.log 2>&1 ) || { cat "$1/cpack.log" >&2; return 1; }
  ls "$1"/storeadjust_*.deb
}

# The package holds what an installation needs, its desktop entry is valid, and the programs it
# installs run (their Chinese --help) from a root of their own.
check_package() {  # dir
  local deb root status=0 project
  deb=$(make_package "$1") || return 1
  # A package made again (after a change, say) must be newer than the one installed before it, even
  # one from before versions told builds apart: apt takes a package of the installed version for
  # the installed one and leaves the old programs in place. Each carries the time it was made.
  project=$(sed -n 's/^project(StoreAdjust VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  dpkg --compare-versions "$(dpkg-deb -f "$deb" Version)" gt "$project" ||
    { echo "package: $deb is not newer than a package of version $project" >&2; status=1; }
  dpkg-deb -c "$deb" | awk '{print $NF}' >"$1/package-contents.txt"
  for f in ./usr/bin/storeadjust ./usr/bin/storeadjust-db ./usr/lib/storeadjust/libQvStoreAdjuctBillV11.so \
           ./usr/lib/storeadjust/libtsql_sqlite_ext.so ./usr/share/applications/storeadjust.desktop \
           ./usr/share/icons/hicolor/scalable/apps/storeadjust.svg; do
    grep -qxF "$f" "$1/package-contents.txt" || { echo "package: $f missing from $deb" >&2; status=1; }
  done
  prints libsodium dpkg-deb -f "$deb" Depends || { echo "package: no libsodium dependency" >&2; status=1; }
  root=$(mktemp -d)
  dpkg-deb -x "$deb" "$root"
  ! file "$root"/usr/bin/* "$root"/usr/lib/storeadjust/* | grep -E "not stripped|with debug_info" >&2 ||
    { echo "package: the programs above carry the build's debugging symbols" >&2; status=1; }
  desktop-file-validate "$root/usr/share/applications/storeadjust.desktop" || status=1
  prints "^用法: storeadjust" "$root/usr/bin/storeadjust" --help || { echo "package: storeadjust --help" >&2; status=1; }
  prints "^用法: storeadjust-db" "$root/usr/bin/storeadjust-db" --help || { echo "package: storeadjust-db --help" >&2; status=1; }
  # An installed launcher makes its demo database in the user's data folder and signs in (without a
  # display it then says it cannot show its window, with status 1).
  local signedIn
  signedIn=$(echo demo001 | env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_DATA_HOME="$root/data" \
    "$root/usr/bin/storeadjust" 2>/dev/null || true)
  [ "$signedIn" = "操作员 001（系统管理员）已登录。" ] && [ -s "$root/data/storeadjust/demo.db" ] ||
    { echo "package: the installed launcher did not start on its demo database" >&2; status=1; }
  rm -rf "$root"
  [ $status -eq 0 ] && echo "package: $deb checked"
  return $status
}

run_tests() {
  # The benchmarks are built and run by bench; compiled here too they cost CI half a minute.
  configure_and_build build -DSTOREADJUST_UNITY=ON -DSTOREADJUST_WITH_BENCH=OFF
  local status=0
  QT_QPA_PLATFORM=offscreen ctest --test-dir build -j "$(jobs)" --output-on-failure || status=1
  check_package build || status=1
  # The engine and the screen models again under AddressSanitizer and UndefinedBehaviorSanitizer:
  # only the test programs and the player, lightly optimised, to keep CI short.
  local fresh=()
  if cache_from_elsewhere build-asan; then fresh=(--fresh); fi
  cmake "${fresh[@]}" -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g1" \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DSTOREADJUST_SANITIZE=ON -DSTOREADJUST_WITH_QT=OFF \
    -DSTOREADJUST_WITH_BENCH=OFF -DSTOREADJUST_UNITY=ON >/dev/null
  cmake --build build-asan -j "$(jobs)" --target adodb_tests core_tests storeadjust-play
  # The sanitizer's red zones make every frame several times larger: the translator's deepest
  # accepted nesting needs more than the usual 8 MB stack there, so the sanitized run gets 64 MB.
  # Full stacks on malloc let the suppressions name the foreign library a leak comes from; only the
  # data layer's tests load one (the SQLite ODBC driver), and full stacks make a run twenty times
  # slower, so only they get them.
  ( ulimit -s 65536 2>/dev/null || ulimit -s unlimited 2>/dev/null || true
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1
    # Every right in turn through the editor's commands: the same code paths as the editor's other
    # cases, 38 s under the sanitizers; the normal build runs it.
    ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan -j "$(jobs)" --output-on-failure -LE adodb_tests \
      -E '^EditorTest\.ARightTakenAwayWhileTheClerkAnswersWritesNothing$' &&
      ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0 \
        ctest --test-dir build-asan -j "$(jobs)" --output-on-failure -L adodb_tests ) || status=1
  return $status
}

case "${1:-}" in
  run)
    refuse_build_as_root run
    install_missing
    # Only the programs a clerk starts: the test programs and benchmarks are some two fifths of a
    # first build, and test or package builds them when they are wanted.
    configure build
    cmake --build build -j "$(jobs)" --target storeadjust storeadjust-db
    # The clerk starts it from the desktop's menu after this, as after installing the package.
    app/desktop/menu-entry.sh build/app/launcher/storeadjust ||
      echo "setup.sh: no desktop menu entry was made; ./setup.sh run starts the program all the same." >&2
    shift
    launcher=$PWD/build/app/launcher/storeadjust
    cd "$caller" 2>/dev/null || true
    exec "$launcher" "$@"
    ;;
  test)
    install_missing
    run_tests
    ;;
  bench)
    install_missing
    # With Qt: the print bench paints its pages offscreen.
    configure_and_build build-bench -DCMAKE_BUILD_TYPE=Release -DSTOREADJUST_WITH_QT=ON
    for b in build-bench/bench/*_bench; do QT_QPA_PLATFORM=offscreen "$b"; done
    ;;
  package)
    install_missing
    configure_and_build build
    make_package build
    ;;
  deps)
    install_missing
    ;;
  -h|--help|help)
    usage
    ;;
  *)
    [ -z "${1:-}" ] || echo "setup.sh: unknown command '$1'" >&2
    usage >&2
    exit 2
    ;;
esac
