#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks it as a desktop would: the desktop entry and
# the metainfo validate, the installed server and client start from an unrelated directory, and
# the Debian package declares its dependencies. Usage: check-install.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
for f in bin/korvana bin/korvana-server share/applications/org.korvana.Korvana.desktop \
    share/metainfo/org.korvana.Korvana.metainfo.xml \
    share/icons/hicolor/scalable/apps/org.korvana.Korvana.svg; do
    [ -e "$prefix/$f" ] || fail "$f not installed"
done
desktop-file-validate "$prefix/share/applications/org.korvana.Korvana.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.korvana.Korvana.metainfo.xml" >/dev/null

cd "$work"
"$prefix/bin/korvana-server" --port 0 --db "$work/server.sqlite" >"$work/server.out" 2>&1 &
for _ in $(seq 100); do grep -q '^listening on ' "$work/server.out" && break; sleep 0.1; done
url=$(sed -n 's/^listening on //p' "$work/server.out")
[ -n "$url" ] || fail "installed server did not start: $(cat "$work/server.out")"
curl -fsS -m 5 "$url/api/health" >/dev/null || fail "installed server does not answer"

# The client runs until it is stopped; it must still be running after a few seconds, with its
# screens loaded from its own resources and no QML error.
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" KORVANA_SERVER_URL="$url"
status=0
timeout 6 "$prefix/bin/korvana" >"$work/client.out" 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "installed client exited with $status: $(cat "$work/client.out")"
if grep -E 'qrc:|\.qml:[0-9]+|module .* is not installed' "$work/client.out"; then
    fail "installed client reported QML errors"
fi

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null 2>&1)
deb=$(ls "$work"/deb/korvana_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6quick6 libqt6network6 libsodium qml6-module-qtquick-controls qt6-qpa-plugins; do
    grep -q "$dep" <<<"$depends" || fail ".deb does not depend on $dep: $depends"
done
contents=$(dpkg-deb -c "$deb")
grep -q './usr/bin/korvana$' <<<"$contents" || fail ".deb has no /usr/bin/korvana"
echo "install, desktop entry, metainfo, client, server and .deb: ok"
