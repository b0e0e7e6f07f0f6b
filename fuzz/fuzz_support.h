/*
 * fuzz_support.h - what every fuzz target shares: a private temporary
 * folder, inputs handed to the runtime as memory blocks, and the cost
 * bounds every reader of outside data keeps.
 *
 * The bounds: a reader must refuse a small input early and cheaply, whatever
 * sizes its headers claim.  For an input under SMALL_INPUT_BYTES, the bytes
 * the reader holds allocated at any moment may not grow by more than
 * SMALL_INPUT_MEMORY (checked in sanitizer builds, whose allocator tells us
 * every allocation), and, when the environment variable SNOW_FUZZ_SLOW_MS is
 * set (tools/fuzz.sh sets it), one run may not take more than that many
 * milliseconds of processor time (not of the clock, which a busy machine
 * stretches).  A breach is told on stderr and aborts, so the fuzzer keeps
 * the input as a finding and a corpus run fails.
 *
 * Callers: the fuzz targets in this folder.  Not for: the game.
 */
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t SMALL_INPUT_BYTES = 1024;
constexpr std::size_t SMALL_INPUT_MEMORY = std::size_t(64) << 20;

// Runs body over the input within the bounds above; returns 0 (what
// LLVMFuzzerTestOneInput returns).
int run_within_bounds(const std::uint8_t* data, std::size_t size,
                      void (*body)(const std::uint8_t*, std::size_t));

// Defines the fuzzer's entry point: every input goes to body through
// run_within_bounds.
#define SNOW_FUZZ_TARGET(body)                                                                     \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)              \
    {                                                                                              \
        return run_within_bounds(data, size, body);                                                \
    }

// A target's check of what a reader gave: unless holds, tells "READER is
// wrong: WHAT" on stderr and aborts, so the fuzzer keeps the input.
void fuzz_check(bool holds, const char* reader, const char* what);

// Points the runtime's temporary folder (extractions, the log) at a fresh
// folder of this process's own, removed again at exit.
void use_private_temp_folder();

// The input registered as a memory block, so it has a "mem://" name as an
// archive entry extracted to memory has; released again when this ends.
struct InputBlock {
    unsigned handle;
    std::string name;

    InputBlock(const std::uint8_t* data, std::size_t size);
    ~InputBlock();
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;
};
