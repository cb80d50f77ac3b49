#!/usr/bin/env bash
# The layers depend one way: src/core is the ground and includes no subsystem;
# no logic/ file includes a ui/ file or a Qt Widgets header; only the program
# layer (src/app) and tests include src/app. Prints every breach and fails.
# usage: check_layers.sh SRC_DIR QT_WIDGETS_INCLUDE_DIR
set -uo pipefail
src=$1; widgets_dir=$2
breaches=0
report() { echo "layering: $1"; breaches=$((breaches + 1)); }

subsystems='circulation|catalogue|readers|queries|look|app'
while IFS= read -r hit; do report "core includes a subsystem: $hit"; done < <(
    grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]($subsystems)/" "$src/core")

while IFS= read -r hit; do report "logic includes a window file: $hit"; done < <(
    grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][a-z]+/ui/' --include='*' $(find "$src" -type d -name logic))

# Every header Qt Widgets ships, by its bare name and as QtWidgets/<name>.
widget_headers=$(ls "$widgets_dir" | grep -v '\.h$' | paste -sd'|')
[ -n "$widget_headers" ] || { echo "layering: no Qt Widgets headers found in $widgets_dir"; exit 2; }
while IFS= read -r hit; do report "logic includes Qt Widgets: $hit"; done < <(
    grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<(QtWidgets/?[A-Za-z_]*|$widget_headers)>" \
        $(find "$src" -type d -name logic))

while IFS= read -r hit; do report "below the program layer, includes src/app: $hit"; done < <(
    grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"app/' "$src" --exclude-dir=app)

[ "$breaches" -eq 0 ] && echo "layering: all include lines follow the layers" && exit 0
exit 1
