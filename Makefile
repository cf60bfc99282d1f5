# The two commands of a new machine: `make run` and `make test`.
BUILD          := build
BUILD_SANITIZE := build-sanitize
CMAKE_FLAGS    := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test test-sanitize fuzz campaign clean

all: build

deps:
	@tools/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	cd $(BUILD)/bin && ./vimo

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $$(nproc)

# The sanitizer runtime's dynamic-TLS tracking misreads some of glibc's TLS blocks as an old
# layout and hands LeakSanitizer a bogus range, on which its exit-time check crashes ("Tracer
# caught signal 11") whenever a block happens to sit at that offset; intercept_tls_get_addr=0
# turns that tracking off.
test-sanitize: deps
	@cmake -S . -B $(BUILD_SANITIZE) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKQ_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD_SANITIZE)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir $(BUILD_SANITIZE) --output-on-failure -j $$(nproc)

# The playing bot over every mission of the campaign, five seeds each, at a person's pace: three
# seconds of aiming before each shot and an aim that strays up to a quarter radian either way. One
# line a game and a summary a mission. CAMPAIGN_FLAGS sets other options of play_mission, e.g.
# `make campaign CAMPAIGN_FLAGS="--think-ms 0 --aim-error 0.12"` for the quick bot.
CAMPAIGN_FLAGS := --think-ms 3000 --aim-error 0.25
campaign: build
	SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy $(BUILD)/bin/play_mission --seeds 5 $(CAMPAIGN_FLAGS)

# libFuzzer targets, built with clang in build-fuzz/bin (see tests/fuzz).
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKQ_FUZZ=ON >/dev/null
	@cmake --build build-fuzz

clean:
	rm -rf $(BUILD) $(BUILD_SANITIZE) build-fuzz
