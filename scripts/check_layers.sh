#!/usr/bin/env bash
# The layers' include rule, checked over the sources (run by CTest):
#   common <- measure/records <- measure/compute <- measure/model
#          <- measure/shell <- measure/app <- measure/views
#   common <- geotools/compute <- geotools/app
# No core folder includes a wxWidgets header; no folder includes one above it.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0

# forbid FOLDER PATTERN WHY: no source under FOLDER may include PATTERN.
# The programs' entry files (main.cpp) and their window tests (tests/)
# assemble every layer and are left out.
forbid() {
  local folder=$1 pattern=$2 why=$3 hits
  [ -d "$folder" ] || return 0
  hits=$(grep -rnE --include='*.h' --include='*.cpp' "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)" \
    "$folder" | grep -v -e "^$folder/gui/" -e "/tests/[^:]*:" -e "/main\.cpp:" || true)
  if [ -n "$hits" ]; then
    echo "layering: $folder must not include $why:"
    echo "$hits"
    status=1
  fi
}

for core in common measure/records measure/compute measure/model measure/shell geotools/compute; do
  forbid "$core" 'wx/|GL/' "window-toolkit headers"
done
forbid common 'measure/|geotools/' "either program"
forbid measure/records 'measure/(compute|model|shell|app|views)/' "the layers above the records"
forbid measure/compute 'measure/(model|shell|app|views)/' "the document or the windows"
forbid measure/model 'measure/(shell|app|views)/' "the window layers"
forbid measure/shell 'measure/(app|views)/' "window code"
forbid measure/app 'measure/views/' "the views (they build on the application layer)"
forbid measure/cli 'measure/(shell|app|views)/' "window code"
forbid geotools/compute 'geotools/(app|cli)/|measure/' "the layers above it"
for tree in measure geotools; do
  forbid "$tree" "$( [ "$tree" = measure ] && echo 'geotools/' || echo 'measure/' )" "the other program"
done

[ $status -eq 0 ] && echo "layering: every include runs down the layers"
exit $status
