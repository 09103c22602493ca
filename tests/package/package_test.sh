#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a temporary
# root and runs the installed programs there, with nothing of the build tree
# on the library path.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() { echo "FALHA: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
debs=("$work"/out/tressalin_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one tressalin_*.deb, got: ${debs[*]}"
deb="${debs[0]}"
dpkg-deb -I "$deb"

[ "$(dpkg-deb -f "$deb" Package)" = tressalin ] || fail "package name"
depends="$(dpkg-deb -f "$deb" Depends)"
names="$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")"
# The runtime packages of what the programs link, as dpkg-shlibdeps finds them.
for pkg in libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 libsqlite3-0 \
    libxlsxwriter4 libzip4 libstdc++6 libc6; do
    grep -qxF "$pkg" <<<"$names" || fail "Depends lacks $pkg: $depends"
done
# The statements need RIGHT JOIN, which SQLite has from 3.39 on.
grep -qF 'libsqlite3-0 (>= 3.39)' <<<"$depends" || fail "Depends lacks libsqlite3-0 (>= 3.39)"

root="$work/root"
dpkg -x "$deb" "$root"
for f in usr/bin/tressalin usr/bin/tressalin-admin usr/share/applications/tressalin.desktop \
    usr/share/icons/hicolor/scalable/apps/tressalin.svg; do
    [ -f "$root/$f" ] || fail "$f not in the package"
done
grep -qx 'Exec=tressalin' "$root/usr/share/applications/tressalin.desktop" || fail "desktop Exec"
grep -qx 'Icon=tressalin' "$root/usr/share/applications/tressalin.desktop" || fail "desktop Icon"

for program in tressalin tressalin-admin; do
    if readelf -d "$root/usr/bin/$program" | grep -Eq 'R(UN)?PATH'; then
        readelf -d "$root/usr/bin/$program" | grep -E 'R(UN)?PATH' >&2
        fail "$program carries an RPATH"
    fi
done

# A clean environment: no display, no Qt platform, no LD_LIBRARY_PATH.
run() { env -i PATH=/usr/bin:/bin HOME="$work/home" "$@"; }

version="$(run "$root/usr/bin/tressalin" --version)" || fail "tressalin --version exit status"
[ "$version" = "tressalin 01.006" ] || fail "tressalin --version printed: $version"
help="$(run "$root/usr/bin/tressalin" --help)" || fail "tressalin --help exit status"
grep -q '^Uso: tressalin ' <<<"$help" || fail "tressalin --help printed: $help"

help="$(run "$root/usr/bin/tressalin-admin" --help)" || fail "tressalin-admin --help exit status"
grep -q '^Uso: tressalin-admin ' <<<"$help" || fail "tressalin-admin --help printed: $help"
# The installed tool does real work: a station file it creates passes its own check.
run "$root/usr/bin/tressalin-admin" create "$work/estacao.db" --operacao plantio >/dev/null ||
    fail "installed tressalin-admin create"
run "$root/usr/bin/tressalin-admin" verify "$work/estacao.db" || fail "installed tressalin-admin verify"
echo "OK: $(basename "$deb")"
