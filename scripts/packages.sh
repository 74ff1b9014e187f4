#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Korvana developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Debian packages Korvana needs to build, test and play. Sourced by scripts/play and scripts/test.
KORVANA_PACKAGES=(
  build-essential cmake ninja-build pkg-config clang-format curl desktop-file-utils appstream
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools
  qt6-multimedia-dev qt6-5compat-dev qt6-shadertools-dev
  qt6-translations-l10n qt6-l10n-tools qt6-tools-dev python3 qt6-qpa-plugins libqt6sql6-sqlite libqt6network6
  qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-templates
  qml6-module-qtquick-layouts qml6-module-qtquick-window qml6-module-qtquick-shapes
  qml6-module-qttest qml6-module-qt5compat-graphicaleffects qml6-module-qtcore
  qml6-module-qtmultimedia
  qcoro-qt6-dev libsimdjson-dev libsodium-dev libbenchmark-dev libboost-dev
  lintian reuse systemd
  fonts-material-design-icons-iconfont fonts-noto-color-emoji
)

# Several servers on one PostgreSQL behind HAProxy (scripts/cluster and its tests): installed
# by .ci/run, not by scripts/play or scripts/test, so a player's machine gets no database server
# it did not ask for.
KORVANA_CLUSTER_PACKAGES=(postgresql-15 haproxy libqt6sql6-psql)

# korvana_install_packages [extra packages...]
korvana_install_packages() {
  local missing=()
  for p in "${KORVANA_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Whether the cluster's packages are all installed.
korvana_cluster_installed() {
  local p
  for p in "${KORVANA_CLUSTER_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || return 1
  done
}
