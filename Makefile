# Drives the CMake builds: the shipped 32-bit program, the same sources for
# 64-bit Windows (fast tests under Wine), and the host-side tests.
#   make         both Windows builds
#   make demo    shows the program removing a sample data folder under Wine
#   make check   every test, through CTest
#   make bench   removal speed against the platform's rd /s /q and the floor

BUILD := build
MAKEFLAGS += --no-print-directory
CTEST_FLAGS ?= --output-on-failure

.PHONY: all demo check bench clean

all:
	scripts/install-deps build
	cmake -S . -B $(BUILD)/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake
	cmake --build $(BUILD)/win32
	cmake -S . -B $(BUILD)/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake
	cmake --build $(BUILD)/win64

demo: all
	scripts/install-deps wine
	scripts/wine-env scripts/demo $(BUILD)/win32/lanternmoor-cleanup.exe $(BUILD)/demo-prefix

check: all
	scripts/install-deps wine
	cmake -S . -B $(BUILD)/host -DWINDOWS_BUILDS=$(abspath $(BUILD))
	cmake --build $(BUILD)/host
	cd $(BUILD)/host && ctest $(CTEST_FLAGS)

bench: all
	scripts/install-deps bench
	scripts/wine-env bench/run.py $(BUILD)

clean:
	rm -rf $(BUILD)
