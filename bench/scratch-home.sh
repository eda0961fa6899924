# Sourced by the benchmark scripts: a scratch home folder, so that a benchmark never touches the
# user's settings or ports. Sets work (removed by the caller's cleanup) and ports (its ports
# folder, created empty).
work=$(mktemp -d)
export HOME=$work QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
unset XDG_CONFIG_HOME
ports=$work/.config/kt7-logger/ports
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$ports"
