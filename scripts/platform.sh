# Sourced by the build scripts: where things are, and which Wine can run here.
#
# The product is a 32-bit x86 Windows program. Running it under Wine needs a
# Linux kernel that runs 32-bit x86 programs; some kernels have that switched
# off (ia32_emulation=off). There the same sources are built for x86_64 and
# run under 64-bit Wine, for `make run` and for the tests.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build"

# The machine field of a Windows program's PE header: 4c01 (i386), 6486
# (x86-64), or nothing for a file that is not one.
pe_machine() {
    local header
    header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
    [ -n "$header" ] && od -An -tx1 -j $((header + 4)) -N2 "$1" 2>/dev/null | tr -d ' \n'
}

# True when this kernel runs a 32-bit x86 Linux program itself. While qemu
# is registered for such programs (make test-32bit does so for its run),
# running one proves nothing: the kernel hands it to qemu.
kernel_runs_32bit() {
    local entry
    for entry in /proc/sys/fs/binfmt_misc/*; do
        [ -f "$entry" ] && grep -qx enabled "$entry" 2>/dev/null && grep -q '^interpreter .*qemu-i386' "$entry" && return 1
    done
    local dir; dir=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' > "$dir/t.s"
    local ok=1
    if as --32 -o "$dir/t.o" "$dir/t.s" 2>/dev/null && ld -m elf_i386 -o "$dir/t" "$dir/t.o" 2>/dev/null \
        && "$dir/t" 2>/dev/null; then ok=0; fi
    rm -rf "$dir"
    return $ok
}

if [ -z "${TARNWICK_RUN_ARCH:-}" ]; then
    if kernel_runs_32bit; then TARNWICK_RUN_ARCH=i686; else TARNWICK_RUN_ARCH=x86_64; fi
fi
export TARNWICK_RUN_ARCH

# The product build, and the build that runs here (the same when 32-bit runs).
product_build="$build"
if [ "$TARNWICK_RUN_ARCH" = i686 ]; then run_build="$build"; else run_build="$build/x86_64"; fi
# The virtual port (its inpout32.dll and console) of the build that runs
# here; never in bin/, beside the product.
vport_dir="$run_build/vport"
# Where `make run` puts the panel beside the virtual port library.
run_dir="$run_build/run/panel"

if [ "$TARNWICK_RUN_ARCH" = i686 ]; then wine_loader=wine; else wine_loader=/usr/lib/wine/wine64; fi
# Prefixes of each run arch apart: a machine that runs both builds (a kernel
# with 32-bit support, TARNWICK_RUN_ARCH=x86_64 for the twin) must not hand
# a 32-bit prefix to the 64-bit loader.
wine_dir="$build/wine"
[ "$TARNWICK_RUN_ARCH" = i686 ] || wine_dir="$build/wine/x86_64"
headless_prefix="$wine_dir/headless"
display_prefix="$wine_dir/display"
# Pixels per inch of the screens the scaling tests run on, besides 96: a
# display prefix each, "$display_prefix-dpi<N>".
scaled_screens="120 144 192"

# Builds what the calling script needs where any of these files is missing
# (`make` alone builds the product, not the build that runs here when that
# is the x86_64 twin), saying so in one line on stderr; stops the script
# where the build fails or still leaves one of them out.
require_built() {
    local file missing=()
    for file in "$@"; do [ -f "$file" ] || missing+=("${file#$top/}"); done
    [ ${#missing[@]} -eq 0 ] && return 0
    local log="$build/build-run.log"
    echo "Building ${missing[*]} ('make build-run', output in ${log#$top/})" >&2
    mkdir -p "$build"
    if ! make -C "$top" --no-print-directory build-run >"$log" 2>&1; then
        tail -n 20 "$log" >&2
        echo "The build failed: see ${log#$top/}" >&2
        exit 1
    fi
    for file in "$@"; do
        if [ ! -f "$file" ]; then
            echo "${file#$top/} is still missing after 'make build-run'" >&2
            exit 1
        fi
    done
}

# The Wine prefixes, made on first use (quietly done when they exist); their
# progress goes to stderr, so that a script's own output stays its own.
require_prefixes() {
    "$top/scripts/wine-prefix.sh" >&2
}
