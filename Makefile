# The two commands of the README: `make run` and `make test`.
# Both install missing Debian packages first.

JOBS ?= 2
BUILD ?= build
TEST_BUILD ?= build-test
CMAKE_FLAGS ?=
# make install PREFIX=/usr DESTDIR=/tmp/stage
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: run test deps build build-test bench fuzz format clean content-preview install uninstall startup-profile soak campaign stage-wins

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-game $(BUILD)

build-test: deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUOLIS_SANITIZE=ON -DQUOLIS_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(TEST_BUILD) -j $(JOBS)

test: build-test
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DQUOLIS_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do [ -x "$$b" ] && echo "== $$b" && "$$b"; done

# Process start to the first presented frame: the game against a bare SDL2 +
# OpenGL 3.3 + SDL2_mixer program, medians of RUNS alternating runs each; then
# the build and entry time of every scene and the memory after the title and
# around BATTLES battles on the 100 x 100 stage, SCENE_RUNS runs.
RUNS ?= 15
SCENE_RUNS ?= 5
BATTLES ?= 5
startup-profile: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DQUOLIS_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS) --target quolis startup_yardstick gamedata
	@scripts/startup-profile build-bench $(RUNS) $(SCENE_RUNS) $(BATTLES)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DQUOLIS_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS)
	@scripts/run-fuzzers build-fuzz

# Pictures, models in three poses, meshes and stage floors as PNG files in $(BUILD)/preview.
content-preview: build
	cmake --build $(BUILD) -j $(JOBS) --target content-preview
	cmake --build $(BUILD) -j $(JOBS) --target screens-preview
	cmake --build $(BUILD) -j $(JOBS) --target between-preview
	cmake --build $(BUILD) -j $(JOBS) --target manage-preview
	@# The floor of every campaign stage, seen whole from its first camera preset.
	mkdir -p $(BUILD)/preview
	for f in content/Stage/Block*.Dat; do \
	    s=$$(basename $$f); \
	    $(BUILD)/quolis --headless --fixed-step --data $(BUILD) --view-stage $$s --frames 3 \
	        --screenshot "2:$(BUILD)/preview/stage_$${s%.Dat}.png" || exit 1; \
	done
	@# Every attack of the table played once between two creatures: its moments
	@# (opening, each hit, the damage, the end) side by side in attack_NN.png.
	mkdir -p $(BUILD)/preview/attacks
	$(BUILD)/quolis --headless --fixed-step --data $(BUILD) --view-attack '*' \
	    --strip $(BUILD)/preview/attacks
	@# The battle replays of the tests on a tiny stage: the blue move area, the
	@# red attack area, an attack playing, the pause menu and the next-stage menu.
	mkdir -p $(BUILD)/preview/battle
	PREVIEW=$(BUILD)/preview/battle bash tests/e2e/battle.sh $(BUILD)/quolis $(BUILD)/datpack \
	    $(BUILD)/qinspect $(BUILD)/GameData $(BUILD)/preview-battle-work

# The headless game under random input for MINUTES on the sanitized build;
# fails on a crash, a hang, a sanitizer report or memory growth (figures in
# $(TEST_BUILD)/soak/soak.json). SEED repeats a run.
MINUTES ?= 30
SEED ?= 1
soak: build-test
	nice scripts/soak --exe $(TEST_BUILD)/quolis --data $(TEST_BUILD) --out $(TEST_BUILD)/soak \
	    --seconds $$(( $(MINUTES) * 60 )) --seed $(SEED)

# The demo campaign played by the autoplayer, headless at the highest game
# speed, from the title to the staff roll and back: per-stage figures, frame
# processor time, allocations, build times and memory in
# $(BUILD)/campaign/report.md (and report.json, frame_cpu.png,
# rss_per_scene.png), and the logic step times of the autoplayer fighting
# the 100 x 100 stage Bench100.Dat. SEED repeats a run; REPEAT=1 plays it twice and
# compares the saves and the last picture byte for byte.
campaign: build
	nice scripts/campaign --exe $(BUILD)/quolis --data $(BUILD) --out $(BUILD)/campaign \
	    --seed $(SEED) --check --bench-stage Bench100.Dat $(if $(filter 1,$(REPEAT)),--repeat)

# Every demo stage won headless: the autoplayer fights each stage straight
# from the start with a veteran squad (five creatures of the second fusion
# tier, tests/e2e/saves/veteran.txt) and must clear it; the figures of
# each are in $(BUILD)/stage-wins/<stage>/report.md.
STAGES ?= $(basename $(notdir $(wildcard content/Stage/Block*.Dat)))
stage-wins: build
	@for s in $(STAGES); do \
	    nice scripts/campaign --exe $(BUILD)/quolis --data $(BUILD) --out $(BUILD)/stage-wins/$$s \
	        --battle $$s.Dat --stages 1 --squad tests/e2e/saves/veteran.txt \
	        --datpack $(BUILD)/datpack --seed $(SEED) --check || exit 1; \
	done

# The program, its tools, the demo GameData, launcher, icons, metainfo and
# manual pages under $(DESTDIR)$(PREFIX); the build is configured for PREFIX.
install: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --strip

# Removes what the last `make install` of this build folder wrote (give the
# same DESTDIR).
uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST=$(BUILD)/install_manifest.txt -P dist/Uninstall.cmake

format:
	find src tests tools bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(TEST_BUILD) build-bench build-fuzz
