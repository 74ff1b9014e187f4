#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Korvana developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs a build into a temporary prefix and checks it as a desktop would: the desktop entry and
# the metainfo validate, the installed server and client start from an unrelated directory, and
# the Debian package declares its dependencies and holds the service. The package is left in
# <build>/packaging/deb for lintian. Usage: check-install.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
for f in games/korvana games/korvana-server share/applications/org.korvana.Korvana.desktop \
    share/metainfo/org.korvana.Korvana.metainfo.xml \
    share/icons/hicolor/scalable/apps/org.korvana.Korvana.svg share/man/man6/korvana.6.gz \
    share/man/man6/korvana-server.6.gz share/doc/korvana/copyright share/doc/korvana/changelog.gz \
    lib/systemd/system/korvana-server.service etc/default/korvana-server; do
    [ -e "$prefix/$f" ] || fail "$f not installed"
done
desktop-file-validate "$prefix/share/applications/org.korvana.Korvana.desktop"
grep -qx "Exec=$prefix/games/korvana" "$prefix/share/applications/org.korvana.Korvana.desktop" ||
    fail "the desktop entry does not start $prefix/games/korvana"
grep -q "^ExecStart=$prefix/games/korvana-server " "$prefix/lib/systemd/system/korvana-server.service" ||
    fail "the service does not start $prefix/games/korvana-server"
appstreamcli validate --no-net "$prefix/share/metainfo/org.korvana.Korvana.metainfo.xml" >/dev/null

cd "$work"
"$prefix/games/korvana-server" --port 0 --db "$work/server.sqlite" >"$work/server.out" 2>&1 &
for _ in $(seq 100); do grep -q '^listening on ' "$work/server.out" && break; sleep 0.1; done
url=$(sed -n 's/^listening on //p' "$work/server.out")
[ -n "$url" ] || fail "installed server did not start: $(cat "$work/server.out")"
curl -fsS -m 5 "$url/api/health" >/dev/null || fail "installed server does not answer"

# The client runs until it is stopped; it must still be running after a few seconds, with its
# screens loaded from its own resources and no QML error.
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" KORVANA_SERVER_URL="$url"
status=0
timeout 6 "$prefix/games/korvana" >"$work/client.out" 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "installed client exited with $status: $(cat "$work/client.out")"
if grep -E 'qrc:|\.qml:[0-9]+|module .* is not installed' "$work/client.out"; then
    fail "installed client reported QML errors"
fi

debdir="$build/packaging/deb"
rm -rf "$debdir"
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$debdir" >/dev/null 2>&1) ||
    fail "cpack failed"
rm -rf "$debdir/_CPack_Packages"
deb=$(ls "$debdir"/korvana_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6quick6 libqt6network6 libsodium qml6-module-qtquick-controls qt6-qpa-plugins; do
    grep -q "$dep" <<<"$depends" || fail ".deb does not depend on $dep: $depends"
done
contents=$(dpkg-deb -c "$deb")
for f in usr/games/korvana usr/games/korvana-server usr/lib/systemd/system/korvana-server.service \
    etc/default/korvana-server usr/share/doc/korvana/copyright; do
    grep -q "\./$f\$" <<<"$contents" || fail ".deb has no /$f"
done
dpkg-deb -I "$deb" conffiles | grep -qx /etc/default/korvana-server ||
    fail "/etc/default/korvana-server is not a conffile"

# The service as packaged: every setting known to this systemd (verify warns of unknown ones
# without failing), its program there, and its exposure low. The root holds the package and the
# system's targets the service is ordered against.
root="$work/root"
dpkg-deb -x "$deb" "$root"
mkdir -p "$root/lib/systemd/system"
cp -L /lib/systemd/system/*.target "$root/lib/systemd/system/"
unit="$root/usr/lib/systemd/system/korvana-server.service"
verify=$(systemd-analyze verify --man=no --root="$root" "$unit" 2>&1) && [ -z "$verify" ] ||
    fail "systemd-analyze verify: $verify"
exposure=$(systemd-analyze security --offline=true --root="$root" "$unit" 2>&1 |
    sed -nE 's/.*Overall exposure level for [^:]*: ([0-9.]+).*/\1/p')
[ -n "$exposure" ] && awk -v e="$exposure" 'BEGIN { exit !(e <= 2.0) }' ||
    fail "systemd-analyze security rates the service ${exposure:-?} (at most 2.0)"
echo "service exposure: $exposure"
echo "install, desktop entry, metainfo, client, server, .deb and service: ok"
