#!/usr/bin/env bash
# The folders of src/ form a stack: a file includes only headers of its own folder and of the
# folders below it. Windows, the command line and the program never include the database wrapper;
# they reach stored data through the core, and so do the ICU report's lists (through the types of the
# administration and the department database). Prints every include that breaks this, exits 1 if any.
set -euo pipefail
src="${1:?usage: layers.sh SRC_DIR}"

# Each folder and the folders it may include besides itself.
declare -A below=(
  [base]=""
  [tiss]="base"
  [store]="base tiss"
  [import]="base tiss store"
  [classification]="base tiss store"
  [reports]="base tiss store"
  [export]="base tiss store reports"
  [printing]="base tiss store classification reports"
  [cli]="base tiss store import classification reports export printing"
  [ui]="base tiss store"
  [import/ui]="base tiss store import ui"
  [classification/ui]="base tiss store classification ui printing"
  [reports/ui]="base tiss store reports ui printing"
  [export/ui]="base tiss store reports export ui"
  [app]="base tiss store import classification reports export ui printing import/ui classification/ui reports/ui export/ui"
)
front_ends="cli printing ui import/ui classification/ui reports/ui export/ui app"
without_sql="$front_ends reports"

faults=0
for folder in "${!below[@]}"; do
  [ -d "$src/$folder" ] || { echo "no folder $src/$folder"; faults=1; continue; }
  allowed=" $folder ${below[$folder]} "
  for file in "$src/$folder"/*.h "$src/$folder"/*.cpp; do
    [ -e "$file" ] || continue
    while IFS= read -r included; do
      target="${included%/*}"
      if [[ "$allowed" != *" $target "* ]]; then
        echo "${file#"$src"/} includes $included: $target is not below $folder"
        faults=1
      fi
      if [[ " $without_sql " == *" $folder "* && "$included" == "store/database.h" ]]; then
        echo "${file#"$src"/} includes the database wrapper"
        faults=1
      fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  done
done
# Every folder of src/ has its place in the stack.
while IFS= read -r dir; do
  folder="${dir#"$src"/}"
  [[ -v below[$folder] ]] || { echo "folder $folder has no place in the stack"; faults=1; }
done < <(find "$src" -mindepth 1 -type d)
exit "$faults"
