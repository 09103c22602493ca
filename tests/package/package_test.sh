#!/usr/bin/env bash
# Builds the two Debian packages from a build folder, unpacks each into its own
# temporary root and runs the installed programs there, with nothing of the
# build tree on the library path.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() { echo "FALHA: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
the_deb() {
    local debs=("$work"/out/"$1"_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one $1_*.deb, got: ${debs[*]}"
    echo "${debs[0]}"
}
client="$(the_deb tressalin)"
admin="$(the_deb tressalin-admin)"

# check_package DEB NAME REQUIRED... : name, the runtime packages dpkg-shlibdeps
# must have found, and SQLite from 3.39 on (the statements need RIGHT JOIN).
check_package() {
    local deb="$1" name="$2"
    shift 2
    dpkg-deb -I "$deb"
    [ "$(dpkg-deb -f "$deb" Package)" = "$name" ] || fail "$deb: package name"
    depends="$(dpkg-deb -f "$deb" Depends)"
    names="$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")"
    for pkg in "$@" libsqlite3-0 libstdc++6 libc6; do
        grep -qxF "$pkg" <<<"$names" || fail "$name Depends lacks $pkg: $depends"
    done
    grep -qF 'libsqlite3-0 (>= 3.39)' <<<"$depends" || fail "$name Depends lacks libsqlite3-0 (>= 3.39)"
}
check_package "$client" tressalin libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 \
    libxlsxwriter4 libzip4
check_package "$admin" tressalin-admin libqt6core6 libjs-chart.js libzint2.11 libhpdf-2.3.0 # leaves $depends and $names set
# The tool runs on servers without a desktop: nothing of Qt Gui, Widgets,
# Multimedia or the window system may come with it.
desktop_libs='^(libqt6(gui|widgets|multimedia|opengl|xcb)|libx11|libxcb|libxext|libxrender|libxkbcommon|libgl|libegl|libopengl|libwayland)'
if grep -E "$desktop_libs" <<<"$names"; then fail "tressalin-admin Depends: $depends"; fi

# Each package unpacked alone: what it installs, and nothing of the other.
client_root="$work/client"
admin_root="$work/admin"
dpkg -x "$client" "$client_root"
dpkg -x "$admin" "$admin_root"
sounds=usr/share/tressalin/sons
for f in usr/bin/tressalin usr/share/applications/tressalin.desktop \
    usr/share/icons/hicolor/scalable/apps/tressalin.svg \
    $sounds/rejeicao.wav $sounds/aceito.wav $sounds/completo.wav; do
    [ -f "$client_root/$f" ] || fail "$f not in tressalin"
done
[ ! -e "$client_root/usr/bin/tressalin-admin" ] || fail "tressalin carries tressalin-admin"
# The tool and its transmission and page timers, installed disabled (no unit is linked to
# enable them).
[ "$(cd "$admin_root" && find . -type f -o -type l | sort)" = "./usr/bin/tressalin-admin
./usr/lib/systemd/system/tressalin-relatorio.service
./usr/lib/systemd/system/tressalin-relatorio.timer
./usr/lib/systemd/system/tressalin-transmitir.service
./usr/lib/systemd/system/tressalin-transmitir.timer" ] ||
    fail "tressalin-admin installs: $(cd "$admin_root" && find . -type f -o -type l)"
grep -qx 'Exec=tressalin' "$client_root/usr/share/applications/tressalin.desktop" || fail "desktop Exec"
grep -qx 'Icon=tressalin' "$client_root/usr/share/applications/tressalin.desktop" || fail "desktop Icon"

for program in "$client_root/usr/bin/tressalin" "$admin_root/usr/bin/tressalin-admin"; do
    if readelf -d "$program" | grep -Eq 'R(UN)?PATH'; then
        readelf -d "$program" | grep -E 'R(UN)?PATH' >&2
        fail "$program carries an RPATH"
    fi
done
if ldd "$admin_root/usr/bin/tressalin-admin" | grep -E 'libQt6(Gui|Widgets|Multimedia)|libX11|libxcb'; then
    fail "the installed tressalin-admin loads desktop libraries"
fi

# A clean environment: no display, no Qt platform, no LD_LIBRARY_PATH.
run() { env -i PATH=/usr/bin:/bin HOME="$work/home" "$@"; }

version="$(run "$client_root/usr/bin/tressalin" --version)" || fail "tressalin --version exit status"
[ "$version" = "tressalin 01.006 (1.6.0)" ] || fail "tressalin --version printed: $version"
help="$(run "$client_root/usr/bin/tressalin" --help)" || fail "tressalin --help exit status"
grep -q '^Uso: tressalin ' <<<"$help" || fail "tressalin --help printed: $help"

tool="$admin_root/usr/bin/tressalin-admin"
help="$(run "$tool" --help)" || fail "tressalin-admin --help exit status"
grep -q '^Uso: tressalin-admin ' <<<"$help" || fail "tressalin-admin --help printed: $help"
# The installed tool does real work: a station file it creates passes its own
# check, and what it has to transmit goes out.
run "$tool" create "$work/estacao.db" --operacao plantio >/dev/null ||
    fail "installed tressalin-admin create"
run "$tool" verify "$work/estacao.db" || fail "installed tressalin-admin verify"
# It alerts with the rejection sound where the client installs it beside the tool.
alert="$(sqlite3 "$work/estacao.db" 'SELECT alert_sound FROM Configuracao')"
[ "$alert" = "$admin_root/$sounds/rejeicao.wav" ] || fail "alert_sound of a new station: $alert"
run "$tool" transmitir "$work/estacao.db" --origem CENTRAL >/dev/null ||
    fail "installed tressalin-admin transmitir"
# Labels come from libzint and libharu alone, with no display.
run "$tool" etiquetas "$work/estacao.db" --plantios --de 1 --ate 30 --folha a4-3x8 \
    --saida "$work/etiquetas.pdf" >/dev/null 2>&1 || fail "installed tressalin-admin etiquetas"
[ "$(head -c 5 "$work/etiquetas.pdf")" = "%PDF-" ] || fail "etiquetas.pdf is no PDF"
echo "OK: $(basename "$client") $(basename "$admin")"
