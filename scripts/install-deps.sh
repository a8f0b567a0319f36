#!/usr/bin/env bash
# Installs everything the project needs on a fresh Debian 12 machine (run as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
    g++ cmake ninja-build git pkg-config ca-certificates \
    qt6-base-dev qt6-base-dev-tools libgl-dev \
    libsqlite3-dev \
    mdbtools-dev mdbtools \
    libgtest-dev libgmock-dev googletest libbenchmark-dev \
    xvfb xauth
