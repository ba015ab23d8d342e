#!/usr/bin/env bash
# Installs the Debian package with apt as on a user's machine, checks the installed workbench
# (menu entry, file types, metainfo, both programs and the window from /usr/bin, manual pages,
# nothing written into /usr), removes it again and checks that nothing of it is left.
#   scripts/check-package.sh [PACKAGE.deb]    default: a new one from scripts/package.sh
# Root only, as it installs and removes a package; not part of ./test.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
  echo "check-package: run as root: it installs and removes the package" >&2
  exit 2
fi
if dpkg-query -W -f='${Status}' quorvel 2>/dev/null | grep -q ' installed'; then
  echo "check-package: quorvel is installed already; remove it first (apt-get purge quorvel)" >&2
  exit 2
fi
./scripts/deps.sh
if [ $# -gt 0 ]; then
  deb=$1
else
  deb=$(./scripts/package.sh | tail -n 1)
fi
deb=$(realpath "$deb")
version=$(dpkg-deb -f "$deb" Version)
export DEBIAN_FRONTEND=noninteractive

work=$(mktemp -d)
installed=0
cleanup() {
  # A check that stopped half-way still leaves the machine as it found it.
  if [ "$installed" -eq 1 ]; then apt-get purge -y -q quorvel >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() { # check DESCRIPTION COMMAND...: runs the command, says ok or FAIL
  local what=$1
  shift
  if "$@" >"$work/out" 2>&1; then
    echo "ok    $what"
  else
    echo "FAIL  $what"
    sed 's/^/      /' "$work/out" | head -n 20
    failures=$((failures + 1))
  fi
}

# Every path of the system folders, but for the package manager's own records.
snapshot() {
  find /usr /etc /opt /var/lib /var/cache -xdev \
    \( -path /var/lib/dpkg -o -path /var/lib/apt -o -path /var/cache/apt -o -path /var/cache/debconf \
       -o -path /var/cache/ldconfig -o -path /var/lib/systemd -o -path /var/lib/xkb \) -prune -o -print 2>/dev/null | sort
}
# What the desktop tools (run by dpkg triggers) regenerate from every package's files.
generated='^(/usr/share/mime/[^/]*$|/usr/share/mime/[a-z-]+/[^/]*\.xml$|/usr/share/applications/mimeinfo\.cache$|/usr/share/icons/[^/]*/icon-theme\.cache$|/var/cache/man/|/var/cache/(swcatalog|app-info)/|/var/cache/fontconfig/)'

snapshot >"$work/before"

# ---- install ----
check "apt installs $(basename "$deb")" apt-get install -y -q "$deb"
dpkg-query -W -f='${Status}' quorvel 2>/dev/null | grep -q ' installed' || {
  echo "check-package: the package did not install" >&2
  exit 1
}
installed=1
dpkg -L quorvel | sort >"$work/files"

desktop=/usr/share/applications/org.quorvel.Quorvel.desktop
metainfo=/usr/share/metainfo/org.quorvel.Quorvel.metainfo.xml
for f in /usr/bin/quorvel /usr/bin/quorvel-cli "$desktop" "$metainfo" /usr/share/mime/packages/quorvel.xml \
         /usr/share/icons/hicolor/scalable/apps/quorvel.svg \
         /usr/share/icons/hicolor/scalable/mimetypes/application-x-quorvel-{scheme,workshop,vector-diagram}.svg \
         /usr/share/man/man1/quorvel.1.gz /usr/share/man/man1/quorvel-cli.1.gz; do
  check "the package holds $f" grep -qxF "$f" "$work/files"
done
check "the menu entry validates" desktop-file-validate "$desktop"
check "the metainfo validates" appstreamcli validate --no-net "$metainfo"

# The programs run as a user does, with a home of their own, from /usr/bin.
home=$work/home
mkdir -p "$home"
as_user() { env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_DATA_DIRS HOME="$home" "$@"; }
cli=/usr/bin/quorvel-cli
check "quorvel-cli --version says $version" bash -c "[ \"\$(HOME='$home' $cli --version)\" = 'quorvel-cli $version' ]"
check "quorvel --version says $version" bash -c "[ \"\$(HOME='$home' /usr/bin/quorvel --version)\" = 'quorvel $version' ]"

# One file of each kind: a scheme, its vector diagram, and a workshop of both (a workshop is
# the scheme's record, the diagram's and the solution's rich text, here none).
check "quorvel-cli resaves a scheme" as_user $cli resave tests/data/interop/ac_rlc.tbe "$work/circuit.tbe"
check "quorvel-cli writes its vector diagram" as_user $cli vector "$work/circuit.tbe" "$work/circuit.qvv"
cat "$work/circuit.tbe" "$work/circuit.qvv" >"$work/circuit.qvw"
check "quorvel-cli reads the workshop" as_user $cli dump "$work/circuit.qvw"
for pair in tbe:scheme qvw:workshop qvv:vector-diagram; do
  ext=${pair%%:*}
  type=application/x-quorvel-${pair#*:}
  check "a .$ext file is $type" bash -c "[ \"\$(xdg-mime query filetype '$work/circuit.$ext')\" = '$type' ]"
  check "$type opens in the workbench" \
    bash -c "[ \"\$(xdg-mime query default '$type')\" = 'org.quorvel.Quorvel.desktop' ]"
done

# Run as root, the programs still write nothing beside themselves.
check "a solution's picture goes into the user's data folder" bash -c "
  HOME='$home' $cli solve '$work/circuit.tbe' --method node --report '$work/solution.rtf' &&
  test -f '$home/.local/share/Quorvel/TOLV - Quorvel/pictures/Test1.emf'"
check "the window starts from /usr/bin (X server, screenshot)" bash -c "
  HOME='$home' QT_QPA_PLATFORM=xcb xvfb-run -a /usr/bin/quorvel --screenshot '$work/shot.png' '$work/circuit.qvw' &&
  file '$work/shot.png' | grep -q 'PNG image data, 1200 x 800'"
check "the window keeps running until closed" as_user QT_QPA_PLATFORM=xcb xvfb-run -a bash -c '
  /usr/bin/quorvel & pid=$!
  sleep 5
  kill -0 "$pid" || exit 1
  kill "$pid"
  wait "$pid" || true'
check "man quorvel-cli shows its page" bash -c "MANWIDTH=80 man quorvel-cli | grep -q 'quorvel-cli solve scheme.tbe'"
check "man quorvel shows its page" bash -c "MANWIDTH=80 man quorvel | grep -q 'workbench for direct- and alternating-current circuits'"

snapshot >"$work/running"
comm -13 "$work/before" "$work/running" | grep -vxFf "$work/files" | grep -vE "$generated" >"$work/strays" || true
check "nothing but the package's files appeared in the system folders" test ! -s "$work/strays"
[ -s "$work/strays" ] && sed 's/^/      /' "$work/strays" | head -n 20

# ---- remove ----
check "apt purges the package" apt-get purge -y -q quorvel
installed=0
check "dpkg no longer knows the package" bash -c "! dpkg-query -W -f='\${Status}' quorvel 2>/dev/null | grep -q ' installed'"
snapshot >"$work/after"
# Paths that are new since before and belong to no package (the dependencies apt brought in
# belong to theirs).
cat /var/lib/dpkg/info/*.list | sort -u >"$work/owned"
comm -13 "$work/before" "$work/after" | comm -23 - "$work/owned" | grep -vE "$generated" >"$work/left" || true
check "no file of the package is left" test ! -s "$work/left"
[ -s "$work/left" ] && sed 's/^/      /' "$work/left" | head -n 20
check "the file-type, menu and icon caches forget the package" bash -c \
  "! grep -rl quorvel /usr/share/mime /usr/share/applications /usr/share/icons/hicolor /usr/share/metainfo"
check "man no longer finds quorvel-cli" bash -c "! man -w quorvel-cli"

if [ "$failures" -gt 0 ]; then
  echo "check-package: $failures check(s) failed"
  exit 1
fi
echo "check-package: every check passed"
