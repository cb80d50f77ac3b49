#!/usr/bin/env bash
# The layers depend one way: src/core is the ground and includes no subsystem;
# no logic/ file includes a ui/ file or a Qt Widgets header; only the program
# layer (src/app) and tests include src/app; a subsystem's windows include no
# other subsystem's windows, and a subsystem uses another's logic only where
# its library links it, one way. Prints every breach and fails.
# usage: check_layers.sh SRC_DIR QT_WIDGETS_INCLUDE_DIR
set -uo pipefail
src=$1; widgets_dir=$2
breaches=0
report() { echo "layering: $1"; breaches=$((breaches + 1)); }

subsystems='export|circulation|catalogue|readers|queries|look|reports|import|statistics|backup|app'
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

# Between subsystems: no subsystem's windows include another subsystem's
# windows, and a subsystem's file includes another subsystem's logic only
# where its own library links that logic (src/<subsystem>/CMakeLists.txt),
# and never both ways round. The shared layers between core and the
# subsystems (export: any table out to a file, with its dialog and progress)
# include core and nothing else; a subsystem includes their logic and their
# windows where its library links them.
features='circulation|catalogue|readers|queries|look|reports|import|statistics|backup'
shared='export'
while IFS= read -r hit; do report "a shared layer includes a subsystem: $hit"; done < <(
    grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]($features|app)/" $(sed "s#^#$src/#; s#|# $src/#g" <<<"$shared"))
links() {  # the libraries `shelfmark_library(NAME ...)` names for NAME
    awk -v name="$2" '
        /shelfmark_library\(/ { inside = 1; text = "" }
        inside { text = text " " $0 }
        inside && /\)/ { inside = 0; gsub(/[()]/, " ", text); n = split(text, w, /[ \t]+/)
                          found = 0; for (i = 1; i <= n; i++) { if (w[i] == name) found = 1; else if (found && w[i] != "") print w[i] }
                          if (found) exit }' "$1"
}
for dir in $(find "$src" -mindepth 2 -maxdepth 2 -type d \( -name logic -o -name ui \)); do
    own=$(basename "$(dirname "$dir")"); layer=$(basename "$dir")
    [[ "$own" =~ ^($features)$ ]] || continue
    linked=" $(links "$src/$own/CMakeLists.txt" "shelfmark_${own}_${layer}" | tr '\n' ' ') "
    while IFS=: read -r file line text; do
        other=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*"([a-z]+)\/(logic|ui)\/.*/\1/' <<<"$text")
        otherLayer=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*"([a-z]+)\/(logic|ui)\/.*/\2/' <<<"$text")
        [ "$other" = "$own" ] && continue
        if [[ "$other" =~ ^($shared)$ ]]; then
            [[ "$linked" == *" shelfmark_${other}_${otherLayer} "* ]] ||
                report "includes a shared layer its library does not link: $file:$line:$text"
        elif [ "$otherLayer" = ui ] && [ "$layer" = ui ]; then
            report "a subsystem's window includes another subsystem's window: $file:$line:$text"
        elif [[ "$linked" != *" shelfmark_${other}_${otherLayer} "* ]]; then
            report "includes a subsystem its library does not link: $file:$line:$text"
        fi
    done < <(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"($features|$shared)/(logic|ui)/" "$dir")
done
for a in circulation catalogue readers queries look reports import statistics backup; do
    for b in circulation catalogue readers queries look reports import statistics backup; do
        [ "$a" \< "$b" ] || continue
        if links "$src/$a/CMakeLists.txt" "shelfmark_${a}_logic" | grep -qx "shelfmark_${b}_logic" &&
           links "$src/$b/CMakeLists.txt" "shelfmark_${b}_logic" | grep -qx "shelfmark_${a}_logic"; then
            report "$a and $b link each other's logic"
        fi
    done
done

[ "$breaches" -eq 0 ] && echo "layering: all include lines follow the layers" && exit 0
exit 1
