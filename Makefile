# make       sets up what the machine lacks and builds the deliverables into dist/
# make test  builds, then runs every test (the runtime's own on this machine, against
#            its C library); the user journeys leave their pictures in docs/journeys/,
#            the shipped 32-bit programs, run in an emulated 32-bit PC, theirs in docs/emulated/
# make screenshots  saves pictures of the running programs into docs/
# make bench  times both programs under Wine against their floors and prints the
#             figures with their sizes (docs/benchmarks.md says how to read them)
# BUILD and DIST name other folders, so that several builds can share a checkout.

JOBS := $(shell nproc)
BUILD := build
DIST := dist
CMAKE := cmake -Wno-dev --log-level=WARNING

.PHONY: all setup build test screenshots bench clean
all: build

setup:
	@tools/setup-machine.sh

build: setup
	$(CMAKE) -S tools -B $(BUILD)/host
	cmake --build $(BUILD)/host -j$(JOBS) -- --no-print-directory
	mkdir -p $(DIST)
	cp $(BUILD)/host/Quillstone.hlp $(DIST)/
	$(CMAKE) -S . -B $(BUILD)/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake \
	  -DQS_HELP_FILE=$(CURDIR)/$(BUILD)/host/Quillstone.hlp
	cmake --build $(BUILD)/i686 -j$(JOBS) -- --no-print-directory
	$(CMAKE) -S . -B $(BUILD)/x64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
	  -DQS_TESTS=ON -DQS_DIST_DIR=$(CURDIR)/$(DIST) \
	  -DQS_LAUNCHER=$(CURDIR)/$(BUILD)/i686/tests/emulated/launcher/qs_launcher.exe \
	  -DQS_HELP_FILE=$(CURDIR)/$(BUILD)/host/Quillstone.hlp
	cmake --build $(BUILD)/x64 -j$(JOBS) -- --no-print-directory
	mkdir -p $(DIST)/x64
	cp $(BUILD)/i686/compactor/Quillstone.exe $(DIST)/
	cp $(BUILD)/x64/compactor/Quillstone.exe $(DIST)/x64/
	cp "$(BUILD)/i686/installer/Quillstone Installer.exe" $(DIST)/
	cp "$(BUILD)/x64/installer/Quillstone Installer.exe" $(DIST)/x64/

# Turns the BMP pictures that tests saved in a folder into PNG files without time stamps.
to_png = for shot in $(1)/*.bmp; do [ -e "$$shot" ] || continue; \
	convert "$$shot" -strip "$${shot%.bmp}.png" && rm "$$shot"; done

test: build
	cd $(BUILD)/host && ctest --output-on-failure
	$(CMAKE) -S tests/runtime -B $(BUILD)/runtime-host
	cmake --build $(BUILD)/runtime-host -j$(JOBS) -- --no-print-directory
	cd $(BUILD)/runtime-host && ctest --output-on-failure
	cd $(BUILD)/i686 && ctest --output-on-failure -j$(JOBS)
	cd $(BUILD)/x64 && ctest --output-on-failure -j$(JOBS) -LE 'screenshots|bench|emulated'
	$(call to_png,docs/journeys)
	cd $(BUILD)/x64 && ctest --output-on-failure -V -L emulated
	$(call to_png,docs/emulated)

screenshots: build
	mkdir -p docs
	cd $(BUILD)/x64 && ctest --output-on-failure -L screenshots
	$(call to_png,docs)

bench: build
	rm -f $(BUILD)/x64/benchmarks.md
	cd $(BUILD)/x64 && ctest --output-on-failure -L bench
	tests/bench/report.sh $(BUILD) $(DIST)

clean:
	rm -rf $(BUILD) $(DIST)
