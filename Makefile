# Couloir: thin wrapper around CMake.
#   make        build everything into build/
#   make demo   install what is missing, build, import the bundled sample meet
#   make test   install what is missing, build with sanitizers, run every test
#   make bench  load tests; make crash-test: imports killed at random moments

BUILD      ?= build
TEST_BUILD ?= build-test
JOBS       ?= 2
PACKAGES   := g++ cmake make libsqlite3-dev sqlite3 googletest libgtest-dev libcli11-dev time

.PHONY: all deps demo test bench crash-test clean

all:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# Installs the Debian packages the build needs, only when one is missing.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

demo: deps all
	./tools/demo.sh $(BUILD)

test: deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCOULOIR_SANITIZE=ON >/dev/null
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

# The load tests: a large meet, the national licence list, a million
# performances imported, then exported.
bench: deps all
	./bench/run.sh $(BUILD)
	./bench/run_licences.sh $(BUILD)
	./bench/run_performances.sh $(BUILD)
	./bench/run_export.sh $(BUILD)

# Imports of national-size files killed at random moments (CRASH_ROUNDS per command).
CRASH_ROUNDS ?= 10
crash-test: deps all
	./tests/crash/crash_test.sh $(BUILD) --rounds $(CRASH_ROUNDS)

clean:
	rm -rf $(BUILD) $(TEST_BUILD)
