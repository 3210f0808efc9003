#!/bin/bash
# Plays each scenario twice, on the embedded database and through the SQLite ODBC driver (the
# session's ConnStr names the driver and the same kind of database file, Dialect=SQLite), and
# fails when the transcripts differ. Exits 77 (skipped) without the driver.
# usage: same-transcripts.sh PLAYER DB_TOOL DRIVER SCENARIO...
set -u
player=$1 dbtool=$2 driver=$3
shift 3
[ -f "$driver" ] || { echo "SQLite ODBC driver not installed: $driver"; exit 77; }
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
status=0
for scenario in "$@"; do
  # Each "database demo|empty" becomes a file of that kind, opened by the session through ODBC
  # and by the player's own sql steps as an embedded file.
  made=0
  while IFS= read -r line || [ -n "$line" ]; do
    read -r verb kind rest <<<"$line"
    if [ "$verb" = database ] && [ -z "$rest" ] && { [ "$kind" = demo ] || [ "$kind" = empty ]; }; then
      made=$((made + 1))
      "$dbtool" "$kind" "$work/$made.db" >/dev/null || exit 1
      echo "database $work/$made.db"
      echo "session \"ConnStr=Driver=$driver;Database=$work/$made.db;Dialect=SQLite\""
    else
      printf '%s\n' "$line"
    fi
  done <"$scenario" >"$work/odbc.scn"
  # A scenario names its own files relative to its folder.
  (cd "$(dirname "$scenario")" && "$player" "$scenario") | grep -v '^> database ' >"$work/embedded.txt"
  (cd "$(dirname "$scenario")" && "$player" "$work/odbc.scn") |
    grep -v -e '^> database ' -e '^> session "ConnStr=Driver=' >"$work/odbc.txt"
  if ! diff -u --label "embedded $scenario" --label "odbc $scenario" "$work/embedded.txt" "$work/odbc.txt"; then
    status=1
  fi
  rm -f "$work"/*.db*
done
exit $status
