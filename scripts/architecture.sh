#!/usr/bin/env bash
# Draws docs/architecture.png from cmake/layers.txt, the table the build
# checks every include of src/ against: one box per folder, an arrow to each
# folder it may use, and in red the includes that still run against the
# direction. Run it after changing the table.
#
#   bash scripts/architecture.sh
set -euo pipefail
cd "$(dirname "$0")/.."
command -v dot >/dev/null || { echo "architecture.sh: graphviz's dot is missing (scripts/packages.txt)" >&2; exit 1; }
python3 cmake/check_layers.py --dot cmake/layers.txt src | dot -Tpng -Gdpi=72 -o docs/architecture.png
echo "architecture.sh: wrote docs/architecture.png"
