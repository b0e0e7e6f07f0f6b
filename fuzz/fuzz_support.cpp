/*
 * fuzz_support.cpp - the cost bounds, the private temporary folder and the
 * input blocks of the fuzz targets.
 *
 * Needs: the sanitizer allocator's hooks (only in sanitizer builds; without
 * them the memory bound is not checked), core/paths.h and
 * core/media_source.h.
 */
#include "fuzz_support.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <time.h>
#include <unistd.h>

#include "core/media_source.h"
#include "core/paths.h"

#if defined(__SANITIZE_ADDRESS__)
#define SNOW_FUZZ_COUNTS_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SNOW_FUZZ_COUNTS_ALLOCATIONS 1
#endif
#endif

#ifdef SNOW_FUZZ_COUNTS_ALLOCATIONS
// The sanitizer runtime's allocator interface (GCC ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             std::size_t),
                                                         void (*free_hook)(const volatile void*));
extern "C" std::size_t __sanitizer_get_allocated_size(const volatile void* pointer);
#endif

namespace {

// A run is timed again when it was slow: processor time too wobbles (the
// first run of an input pays for cold caches and fresh pages), so the
// fastest of these runs counts.
constexpr int TIMED_RUNS = 3;

// The processor time this thread has spent, in milliseconds: what the
// reader itself cost, however many other programs share the machine.
double thread_cpu_ms()
{
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

std::atomic<std::int64_t> live_bytes{0};
std::atomic<std::int64_t> peak_bytes{0};

#ifdef SNOW_FUZZ_COUNTS_ALLOCATIONS
void count_allocation(const volatile void*, std::size_t size)
{
    const std::int64_t now = live_bytes.fetch_add(std::int64_t(size)) + std::int64_t(size);
    std::int64_t peak = peak_bytes.load();
    while (now > peak && !peak_bytes.compare_exchange_weak(peak, now)) {}
}

void count_release(const volatile void* pointer)
{
    if (pointer != nullptr)
        live_bytes.fetch_sub(std::int64_t(__sanitizer_get_allocated_size(pointer)));
}

void install_counters()
{
    static const bool installed =
        __sanitizer_install_malloc_and_free_hooks(count_allocation, count_release) != 0;
    (void)installed;
}
#else
void install_counters() {}
#endif

struct RunCost {
    std::int64_t growth;   // most bytes held beyond those held before the run
    double ms;
};

RunCost measure(const std::uint8_t* data, std::size_t size,
                void (*body)(const std::uint8_t*, std::size_t))
{
    install_counters();
    const std::int64_t before = live_bytes.load();
    peak_bytes.store(before);
    const double start = thread_cpu_ms();
    body(data, size);
    return RunCost{peak_bytes.load() - before, thread_cpu_ms() - start};
}

double slow_limit_ms()
{
    const char* text = std::getenv("SNOW_FUZZ_SLOW_MS");
    return text != nullptr ? std::atof(text) : 0;
}

[[noreturn]] void breach(const char* what, double amount, std::size_t size)
{
    std::fprintf(stderr, "fuzz bound broken: an input of %zu bytes %s %.0f\n", size, what, amount);
    std::abort();
}

std::string private_folder;

void remove_private_folder()
{
    std::error_code ignored;
    std::filesystem::remove_all(private_folder, ignored);
}

}   // namespace

int run_within_bounds(const std::uint8_t* data, std::size_t size,
                      void (*body)(const std::uint8_t*, std::size_t))
{
    const bool small = size < SMALL_INPUT_BYTES;
    const double limit = slow_limit_ms();
    double fastest = 0;
    for (int run = 0; run < TIMED_RUNS; ++run) {
        const RunCost cost = measure(data, size, body);
        if (small && cost.growth > std::int64_t(SMALL_INPUT_MEMORY))
            breach("held bytes:", double(cost.growth), size);
        fastest = run == 0 ? cost.ms : std::min(fastest, cost.ms);
        if (!small || limit <= 0 || fastest <= limit) return 0;
    }
    breach("took ms:", fastest, size);
}

void use_private_temp_folder()
{
    if (!private_folder.empty()) return;
    char pattern[] = "/tmp/snowfuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) return;
    private_folder = std::string(made) + "/";
    std::atexit(remove_private_folder);
    setenv("TMPDIR", private_folder.c_str(), 1);
    reset_temp_folder();
}

InputBlock::InputBlock(const std::uint8_t* data, std::size_t size)
    : handle(register_memory_block(MemoryBlock(data, data + size))), name(memory_name(handle))
{}

InputBlock::~InputBlock()
{
    release_memory_block(handle);
}

void fuzz_check(bool holds, const char* reader, const char* what)
{
    if (holds) return;
    std::fprintf(stderr, "%s is wrong: %s\n", reader, what);
    std::abort();
}
