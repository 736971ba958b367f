#!/usr/bin/env bash
# Fails when a core folder includes a Qt header, when a folder of src/
# includes a header of a folder above it, or when a project include does not
# name its folder ("editor/SynEdit.h", not "SynEdit.h").
set -u
root=${1:-.}
status=0

hits=$(grep -rnE '#include *[<"](Q[A-Za-z]+|Qt)' "$root"/src/{base,buffer,highlight,search,platform,editor,completion,appcore} 2>/dev/null)
if [ -n "$hits" ]; then
  echo "Qt headers in the platform-free core:"
  echo "$hits"
  status=1
fi

# The folders each folder may include from, itself among them.
declare -A allowed=(
  [base]="base"
  [buffer]="base buffer"
  [highlight]="base highlight"
  [search]="base search"
  [platform]="base platform"
  [editor]="base buffer highlight search platform editor"
  [completion]="base buffer highlight search platform editor completion"
  [appcore]="base buffer highlight search platform editor completion appcore"
  [qt]="base buffer highlight search platform editor completion qt"
  [app]="base buffer highlight search platform editor completion appcore qt app"
)
for folder in "${!allowed[@]}"; do
  [ -d "$root/src/$folder" ] || continue
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    target=$(sed -E 's/.*#include *"([a-z]+)\/.*/\1/' <<<"$line")
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "src/$folder reaches up into $target/: ${line#"$root"/}"
      status=1
    fi
  done < <(grep -rnE '#include *"[a-z]+/' "$root/src/$folder")
done

# Project headers are included by their folder; a benchmark's helper sits
# beside it.
bare=$(grep -rnE '#include *"[^/"]+\.h"' "$root"/src "$root"/tests "$root"/fuzz "$root"/tools 2>/dev/null)
if [ -n "$bare" ]; then
  echo "includes that do not name their folder:"
  echo "$bare"
  status=1
fi
missing=$(grep -rhoE '#include *"[^"]+/[^"]+\.h"' "$root"/src "$root"/tests "$root"/fuzz "$root"/tools "$root"/bench 2>/dev/null |
  sed -E 's/#include *"(.*)"/\1/' | sort -u | while read -r inc; do
    [ -e "$root/src/$inc" ] || [ -e "$root/tests/$inc" ] || echo "$inc"
  done)
if [ -n "$missing" ]; then
  echo "includes that name no header of src/ or tests/:"
  echo "$missing"
  status=1
fi

[ $status -eq 0 ] && echo "layers and includes in order"
exit $status
