#!/usr/bin/env bash
# Puts a built launcher in the current user's desktop menu (仓库调拨单, under Office), without
# root: a desktop entry in the user's data folder that starts LAUNCHER by its absolute path, with
# the icon beside this script. Run again it leaves the same entry. Where an installed package
# already gives the menu its entry, this one would only show the program twice: it is removed.
#   menu-entry.sh LAUNCHER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
launcher=$(realpath "$1")

# The user's data folder, found as the launcher finds it: a relative XDG_DATA_HOME or HOME names
# none (it would put the entry under whatever folder setup ran in), and a session started without
# HOME (su -, a service, env -i) still has the home the password database gives the user.
absolute() { case "$1" in /*) return 0 ;; *) return 1 ;; esac; }
data=${XDG_DATA_HOME:-}
if ! absolute "$data"; then
  home=${HOME:-}
  if ! absolute "$home"; then
    IFS=: read -r _ _ _ _ _ home _ <<<"$(getent passwd "$(id -u)" || true)"
  fi
  if ! absolute "$home"; then
    echo "menu-entry.sh: no data folder for the menu entry: HOME is not set and the password database gives no home for uid $(id -u); set XDG_DATA_HOME." >&2
    exit 1
  fi
  data="$home/.local/share"
fi
entry="$data/applications/storeadjust-built.desktop"

# An installation of the user's own (cmake --install build --prefix ~/.local) puts its entry
# beside this one, in the user's data folder: it counts as an installed package's.
IFS=: read -r -a system_dirs <<<"${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
for dir in "$data" "${system_dirs[@]}"; do
  if [ -n "$dir" ] && [ -f "$dir/applications/storeadjust.desktop" ]; then
    rm -f "$entry"
    exit 0
  fi
done

# The desktop's launcher (GLib: the menu, gio) looks for the program before it reads %% as %, so an
# entry for a path holding % is never started: none is made, and an older one goes.
case "$launcher" in *%*)
  rm -f "$entry"
  echo "menu-entry.sh: $launcher holds a %, and the desktop cannot start a program from such a path: no menu entry was made. Put the folder under a name without % to have one." >&2
  exit 1 ;;
esac

# The entry's own escapes: a backslash is written twice in every value.
value() { printf '%s' "${1//\\/\\\\}"; }
# Exec takes its program quoted (the path may hold blanks), where " ` $ and \ are escaped, and a
# % would be a field code (see above).
quoted=${launcher//\\/\\\\}
quoted=${quoted//\"/\\\"}
quoted=${quoted//\`/\\\`}
quoted=${quoted//\$/\\\$}

mkdir -p "$data/applications"
new=$(mktemp "$entry.XXXXXX")
trap 'rm -f "$new"' EXIT
# TryExec hides the entry once the build it points at is gone.
EXEC="\"$(value "$quoted")\"" TRY="$(value "$launcher")" ICON="$(value "$here/storeadjust.svg")" awk '
  /^Exec=/ { print "TryExec=" ENVIRON["TRY"]; print "Exec=" ENVIRON["EXEC"]; next }
  /^Icon=/ { print "Icon=" ENVIRON["ICON"]; next }
  { print }' "$here/storeadjust.desktop" >"$new"
chmod 644 "$new"
if cmp -s "$new" "$entry"; then exit 0; fi
mv "$new" "$entry"
echo "Desktop menu: 仓库调拨单 (Office) starts $launcher ($entry)"
