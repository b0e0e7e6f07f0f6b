/*
 * corpus_runner.cpp - the main of a fuzz target built without libFuzzer:
 * runs the target once over every file it is given, and every file of every
 * folder it is given, in name order.  This is how the sanitizer suite checks
 * each corpus with the compiler the game is built with.
 *
 * Exit code 0 when every input ran; a fault found by a sanitizer, or a
 * broken cost bound, ends the process at that input instead.
 */
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::vector<std::string> input_files(int count, char** arguments)
{
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        const std::filesystem::path path(arguments[i]);
        if (!std::filesystem::is_directory(path)) {
            files.push_back(path.string());
            continue;
        }
        std::vector<std::string> inside;
        for (const auto& entry : std::filesystem::directory_iterator(path))
            if (entry.is_regular_file()) inside.push_back(entry.path().string());
        std::sort(inside.begin(), inside.end());
        files.insert(files.end(), inside.begin(), inside.end());
    }
    return files;
}

bool run_file(const std::string& file)
{
    std::ifstream stream(file, std::ios::binary);
    if (!stream) return false;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(stream)),
                                  std::istreambuf_iterator<char>());
    // A copy of exactly the input's size, so a read past its end is caught.
    std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(input.data(), input.size());
    return true;
}

}   // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    const std::vector<std::string> files = input_files(argc - 1, argv + 1);
    for (const std::string& file : files) {
        if (!run_file(file)) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 1;
        }
    }
    std::printf("%zu inputs ran without a fault\n", files.size());
    return files.empty() ? 1 : 0;
}
