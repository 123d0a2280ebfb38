#!/usr/bin/env bash
# Writes the installer's list of Quillbox's own files (installer/quillbox.nsi includes it):
# every file of a staged release folder but the DLL, which goes into Plugins. Two macros:
# QB_INSTALL_FILES puts each into $QbFolder, in the same layout; QB_REMOVE_FILES removes
# exactly those files, then their folders, deepest first, each only if nothing else is in
# it (a file the user added to the sketch keeps its folder).
#   file-list.sh STAGED_FOLDER > file_list.nsh      (makensis runs in that folder)
set -euo pipefail
cd "$1"

windows() { local path=${1#./}; printf '%s' "${path//\//\\}"; }
in_folder() { [ "$1" = . ] && printf '$QbFolder' || printf '$QbFolder\\%s' "$(windows "$1")"; }

echo '!macro QB_INSTALL_FILES'
find . -type d | LC_ALL=C sort | while read -r folder; do
  echo "  SetOutPath \"$(in_folder "$folder")\""
  find "$folder" -mindepth 1 -maxdepth 1 -type f ! -path ./ml_quillbox.dll | LC_ALL=C sort |
    while read -r file; do echo "  File \"$(windows "$file")\""; done
done
echo '!macroend'

echo '!macro QB_REMOVE_FILES'
find . -type f ! -path ./ml_quillbox.dll | LC_ALL=C sort |
  while read -r file; do echo "  Delete \"\$QbFolder\\$(windows "$file")\""; done
find . -mindepth 1 -type d | LC_ALL=C sort -r |
  while read -r folder; do echo "  RMDir \"$(in_folder "$folder")\""; done
echo '!macroend'
