# Snipora: `make run [FILE=path]` builds and starts the program;
# `make test` builds and runs every test. Both install the Debian packages
# that are missing first. `make test-shuffled` runs every test twice in a
# random order; `make sanitize` runs every test under ASan and UBSan;
# `make tsan` runs the player and sound-device tests under ThreadSanitizer;
# `make fuzz FUZZ_SECONDS=N` runs each fuzzer for N seconds.
# `make translations` runs lupdate: resources/translations/snipora_en.ts takes
# the texts marked in the sources (translate the new ones in Qt Linguist).
# `make format-check` fails on any file clang-format would change. WERROR=ON
# makes compiler warnings errors (CI sets it).

BUILD ?= build
JOBS ?= $(shell nproc)
WERROR ?= OFF
PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
            qt6-base-dev qt6-tools-dev libsdl2-dev xvfb xauth sox ffmpeg sndfile-programs \
            fonts-ipafont-gothic qt6-translations-l10n libcli11-dev libflac-dev flac
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: deps configure build run test test-shuffled translations install deb check-install bench sanitize tsan fuzz format format-check clean

deps:
	@missing=$$(for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNIPORA_WERROR=$(WERROR) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@if [ -x $(BUILD)/app/snipora ]; then \
	  $(BUILD)/app/snipora $(FILE); \
	else \
	  echo "The main window is not built yet; see README.md for what works today."; \
	fi

# Tests labelled "large" write files past 4 GiB: they run here, and are left
# out of the repeated and sanitizer runs (CTEST_FLAGS).
CTEST_FLAGS ?=
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) $(CTEST_FLAGS)

translations: configure
	cmake --build $(BUILD) --target update_translations

# Each test program twice over in a random order (the seed is printed): a
# test that depends on another's leftovers or on running first fails here.
test-shuffled: build
	GTEST_SHUFFLE=1 GTEST_REPEAT=2 ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) -LE large

# PREFIX (default /usr/local) and DESTDIR as usual.
PREFIX ?= /usr/local
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

# build/snipora_<version>_<arch>.deb, for `apt-get install ./build/snipora_*.deb`.
deb: build
	cd $(BUILD) && cpack

# Installs into a staging folder, validates what is installed, then packs,
# installs and removes the .deb.
check-install: build
	BUILD=$(BUILD) scripts/check_install.sh

bench: BUILD = build-bench
bench: CMAKE_FLAGS += -DSNIPORA_BENCH=ON -DSNIPORA_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

sanitize: BUILD = build-sanitize
sanitize: CMAKE_FLAGS += -DSNIPORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
sanitize: CTEST_FLAGS += -LE large
sanitize: test

# The tests whose code runs on more than one thread, under ThreadSanitizer in
# a build of their own without the window: the SDL callback thread and the
# main thread share the player's ring; the export reads ahead and writes behind
# on threads of its own; the waveform's peaks are computed by workers; FLAC
# pieces are encoded by workers while the caller shows progress.
TSAN_TESTS := playback/StreamPlayer playback/SdlDiskPlayback platform/sound/SoundDevice \
              platform/sound/SdlDiskOutput audiofile/ExtentReader audiofile/SectorFile \
              export/ExportJob export/ExportFault export/FlacWriter waveform/PeakEngine
tsan: BUILD = build-tsan
tsan: CMAKE_FLAGS += -DSNIPORA_TSAN=ON -DSNIPORA_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
tsan: configure
	cmake --build $(BUILD) -j$(JOBS) --target $(patsubst %,%Test,$(subst /,_,$(TSAN_TESTS)))
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --test-dir $(BUILD) \
	  --output-on-failure -j$(JOBS) -R '^($(subst $(eval) ,|,$(strip $(TSAN_TESTS))))$$'

# Each fuzzer starts from its committed seeds (fuzz/corpus/<name>) and keeps
# what it finds in $(BUILD)/corpus/<name>; a crashing input is written to
# $(BUILD)/artifacts/<name>/ and stops the run.
FUZZ_SECONDS ?= 60
FUZZERS := wave_header nwa_header flac_reading ini pattern cli_input range_lists number_text
fuzz: BUILD = build-fuzz
fuzz: PACKAGES += clang
fuzz: deps
	CXX=clang++ cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSNIPORA_FUZZ=ON -DSNIPORA_GUI=OFF -DSNIPORA_TESTS=OFF
	cmake --build $(BUILD) -j$(JOBS) --target $(addprefix fuzz_,$(FUZZERS))
	@for f in $(FUZZERS); do \
	  mkdir -p $(BUILD)/corpus/$$f $(BUILD)/artifacts/$$f; \
	  echo "== $$f: $(FUZZ_SECONDS) s"; \
	  $(BUILD)/fuzz/fuzz_$$f -max_total_time=$(FUZZ_SECONDS) -timeout=60 -print_final_stats=1 \
	    -artifact_prefix=$(BUILD)/artifacts/$$f/ $(BUILD)/corpus/$$f fuzz/corpus/$$f || exit 1; \
	done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: PACKAGES += clang-format
format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build build-bench build-sanitize build-tsan build-fuzz
