# shellcheck shell=bash
# Sourced by the benchmark scripts once $work holds a fresh temporary folder: makes it the home
# of every program they start (no XDG_CONFIG_HOME, a private runtime folder, no display) and
# sets $ports to the folder where the programs look up their port entries.
export HOME=${work:?} QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
unset XDG_CONFIG_HOME
ports=$HOME/.config/kt7-logger/ports
mkdir -p "$XDG_RUNTIME_DIR" "$ports" && chmod 700 "$XDG_RUNTIME_DIR"
