#!/usr/bin/env bash
# Makes docs/krol-ide.png, the picture in README: krol-ide draws itself offscreen with a workbench
# on the virtual module, the example moves.kro assembled, downloaded and running. Run it (or
# `make screenshot`) when the window changes. Settings and home live in a temporary folder.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/settings/KROL"
# The Assembler and transfer windows close by themselves, so the picture shows the workbench.
cat > "$home/settings/KROL/krol.conf" <<CONF
[Tools_KROLCreator]
ConfirmAssembler=false
ConfirmDownload=false
CONF
QT_QPA_PLATFORM=offscreen KROL_HOME="$home" \
  "$build/bin/krol-ide" --no-restore --screenshot docs/krol-ide.png --example moves.kro
echo "docs/krol-ide.png"
