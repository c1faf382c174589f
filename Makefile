# The README's commands. Each first installs what the machine lacks
# (tools/prerequisites.sh, with apt-get on Debian as root; elsewhere it names
# the packages and stops), then runs CMake's workflow presets.
#   make demo      builds both programs and runs them on the bundled examples
#   make check     builds everything and runs every test, none skipped
#   make package   the .deb and the .tar.gz of the Release build, browser page
#                  included, checked by lintian
# Builds and tests use every core unless these say otherwise.
export CMAKE_BUILD_PARALLEL_LEVEL ?= $(shell nproc)
export CTEST_PARALLEL_LEVEL ?= $(shell nproc)

demo:
	tools/prerequisites.sh demo
	cmake --workflow --preset demo

# A test whose tool is missing fails here instead of being skipped.
check:
	tools/prerequisites.sh check
	ZORVELT_REQUIRE_ALL_TOOLS=1 cmake --workflow --preset test

package:
	tools/prerequisites.sh package
	cmake --workflow --preset web
	umask 022 && cmake --workflow --preset package
	lintian --fail-on error build/release/zorvelt-tools_*.deb

.PHONY: demo check package
