# Couloir: thin wrapper around CMake.
#   make        build everything into build/
#   make demo   install what is missing, build, import the bundled sample meet
#   make test   install what is missing, build with sanitizers, run every test,
#               then build the Debian package and try it installed
#   make package  the Debian package, build-package/package/couloir_<version>_amd64.deb
#   make bench  load tests (SQLite, then PostgreSQL beside it); make crash-test:
#               imports killed at random moments, on both engines
#   make windows       the Windows build (mingw-w64) and its zip,
#                      build-windows/couloir-<version>-windows-x64.zip
#   make test-windows  its tests under Wine, and every command on the samples
#                      compared with the Linux build's, byte for byte

BUILD      ?= build
TEST_BUILD ?= build-test
JOBS       ?= 2
PACKAGES   := g++ cmake make curl locales libsqlite3-dev sqlite3 libpq-dev postgresql googletest libgtest-dev libcli11-dev nlohmann-json3-dev python3-jsonschema libcpp-httplib-dev libzip-dev libjs-dygraphs pkg-config time
FUZZ_PACKAGES := clang libclang-rt-14-dev
# The browser test of the web page: Debian's chromium, driven by playwright-core (tests/web/package.json).
WEB_TEST_PACKAGES := chromium
# The package is built with dpkg-shlibdeps computing its dependencies, and
# checked installed: lintian, man, the example host.
PACKAGE_PACKAGES := dpkg-dev file
PACKAGE_TEST_PACKAGES := lintian man-db
PACKAGE_BUILD ?= build-package
# The hardening Debian builds its packages with.
PACKAGE_CXXFLAGS := -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat -Werror=format-security
PACKAGE_LDFLAGS := -Wl,-z,relro -Wl,-z,now
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# The Windows build: Debian's mingw-w64 and zlib for it, Wine for its tests,
# and what builds SQLite, libzip and cpp-httplib from Debian's source packages
# (dpkg-dev unpacks them, tcl makes SQLite's amalgamation).
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 dpkg-dev tcl
WINDOWS_BUILD ?= build-windows
WINDOWS_THIRD_PARTY ?= $(WINDOWS_BUILD)-third-party

.PHONY: all deps fuzz-deps web-test-deps package-deps windows-deps demo test package bench crash-test fuzz \
        windows test-windows clean

all:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# Installs the Debian packages given, only when one is missing.
install = missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

deps:
	@$(call install,$(PACKAGES))

fuzz-deps:
	@$(call install,$(FUZZ_PACKAGES))

package-deps:
	@$(call install,$(PACKAGE_PACKAGES) $(PACKAGE_TEST_PACKAGES))

windows-deps: deps
	@$(call install,$(WINDOWS_PACKAGES))
	@./tools/windows/add_source_entries.sh

web-test-deps:
	@$(call install,$(WEB_TEST_PACKAGES))
	@if ! command -v node >/dev/null; then $(call install,nodejs npm); fi
	cd tests/web && npm ci --no-audit --no-fund --loglevel=error

demo: deps all
	./tools/demo.sh $(BUILD)

test: deps web-test-deps package-deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCOULOIR_SANITIZE=ON >/dev/null
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) package
	./tests/package/package_test.sh $(PACKAGE_BUILD)

package: deps package-deps
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DCOULOIR_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
	    -DCMAKE_CXX_FLAGS="$(PACKAGE_CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(PACKAGE_LDFLAGS)" \
	    -DCMAKE_SHARED_LINKER_FLAGS="$(PACKAGE_LDFLAGS)" >/dev/null
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

windows: windows-deps
	./tools/windows/third_party.sh $(WINDOWS_THIRD_PARTY)/sources $(WINDOWS_THIRD_PARTY)/prefix
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	    -DCOULOIR_WINDOWS_PREFIX=$(abspath $(WINDOWS_THIRD_PARTY))/prefix -DCMAKE_BUILD_TYPE=Release \
	    -DCOULOIR_TESTS=OFF >/dev/null
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	cd $(WINDOWS_BUILD) && cpack -G ZIP >/dev/null && ls -l couloir-*-windows-x64.zip

# The Linux side of the comparison is the test build (make test makes it).
test-windows: windows
	cmake -S . -B $(WINDOWS_BUILD) -DCOULOIR_TESTS=ON >/dev/null
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	cd $(WINDOWS_BUILD) && ctest --output-on-failure
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCOULOIR_SANITIZE=ON >/dev/null
	cmake --build $(TEST_BUILD) -j $(JOBS) --target couloir
	./tests/windows/parity.sh $(TEST_BUILD) $(WINDOWS_BUILD)

# The load tests: a large meet, the national licence list, a million
# performances imported, then exported.
bench: deps all
	./bench/run.sh $(BUILD)
	./bench/run_licences.sh $(BUILD)
	./bench/run_performances.sh $(BUILD)
	./bench/run_export.sh $(BUILD)
	./bench/run_web.sh $(BUILD)
	./bench/run_postgres.sh $(BUILD)

# Imports of national-size files killed at random moments (CRASH_ROUNDS per command).
CRASH_ROUNDS ?= 10
crash-test: deps all
	./tests/crash/crash_test.sh $(BUILD) --rounds $(CRASH_ROUNDS)
	./tests/postgres/cluster.sh ./tests/crash/crash_test.sh $(BUILD) --rounds $(CRASH_ROUNDS) --postgres

# The readers fuzzed with libFuzzer, FUZZ_SECONDS each; inputs that break one
# are kept under tests/fuzz/regressions/ and replayed by make test.
fuzz: deps fuzz-deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCOULOIR_FUZZ=ON >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	./tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD) $(WINDOWS_BUILD) $(WINDOWS_THIRD_PARTY)
