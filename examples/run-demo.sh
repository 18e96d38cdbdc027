#!/bin/sh
# Runs the demo batch for real: a registry folder that names the bundled
# stand-in companion, a sandbox folder for the batch's files (its %1%), then
# the execution log of the run.
set -u
build=${1:-build}
repo=$(cd "$(dirname "$0")/.." && pwd)
case $build in /*) ;; *) build="$repo/$build" ;; esac
demo="$build/demo"
sandbox="$demo/sandbox"
rm -rf "$sandbox"
mkdir -p "$demo/registry" "$sandbox/scenarios"
printf '<scenario name="Dedupe accounts"/>\n' > "$sandbox/scenarios/Dedupe accounts.xml"
cat > "$demo/registry/velloran.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Velloran\\Globals]
"previousToolVersion"="2.60.71"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{7A1D3E52-0C9B-4F6E-B2A8-5D4E61C3F907}]
"InstallLocation"="$repo/examples/companion/"
REG
export TARNWICK_REGISTRY_DIR="$demo/registry"
export VELLORAN_STANDIN_LOG="$sandbox/velloran-calls.txt"

echo "Running: tarnwick -execute examples/demo.twk $sandbox"
"$build/app/tarnwick" -execute "$repo/examples/demo.twk" "$sandbox"
status=$?
echo "Exit status: $status (0: every job succeeded)"

# The documents folder as the program resolves it: the XDG setting, else ~/Documents.
log=""
for docs in "$(xdg-user-dir DOCUMENTS 2>/dev/null)" "$HOME/Documents"; do
  [ -n "$docs" ] || continue
  log=$(ls -t "$docs"/TarnwickData/LogFiles/demoLog_*.txt 2>/dev/null | head -n 1)
  [ -z "$log" ] || break
done
if [ -n "$log" ]; then
  echo "Execution log: $log"
  cat "$log"
fi
echo "Sandbox: $sandbox"
ls -R "$sandbox"
exit $status
