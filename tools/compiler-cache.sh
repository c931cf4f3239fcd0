# Sourced by the build scripts from the checkout's root. Where ccache is installed, compiles go
# through it, with paths taken relative to the checkout: a fresh clone in another folder then
# reuses what an earlier build compiled, and only what changed is compiled again.
if [[ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]] && command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
export CCACHE_NOHASHDIR=1
