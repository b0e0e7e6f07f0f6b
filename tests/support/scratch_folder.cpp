#include "support/scratch_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/paths.h"
#include "support/test_host.h"

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    path = make_test_folder();
    if (path.empty()) throw std::runtime_error("cannot make a test folder");
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

std::string ScratchFolder::file(const std::string& relative) const
{
    std::string full = path + relative;
    fs::create_directories(fs::path(full).parent_path());
    return full;
}

namespace {

// The path, after making the folder and any missing on the way.
const char* made_folder(const std::string& path)
{
    fs::create_directories(path);
    return path.c_str();
}

}   // namespace

EnvOverride::EnvOverride(const char* variable, const char* value) : name(variable)
{
    if (const char* old = std::getenv(variable)) {
        saved = old;
        had_saved = true;
    }
    set_environment(variable, value);
}

EnvOverride::~EnvOverride()
{
    set_environment(name.c_str(), had_saved ? saved.c_str() : nullptr);
}

TempFolderOverride::TempFolderOverride(const std::string& folder_path)
    : folder(runtime_temp_folder_in(folder_path)),
      tmpdir(TEMP_FOLDER_VARIABLE, made_folder(folder_path))
{
    reset_temp_folder();
}

// The variable is put back by tmpdir's destructor, after this body: the
// runtime reads it again on the next use.
TempFolderOverride::~TempFolderOverride()
{
    reset_temp_folder();
}

std::vector<unsigned char> bytes_of(const std::string& text)
{
    return std::vector<unsigned char>(text.begin(), text.end());
}

void write_bytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<unsigned char> read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

bool path_exists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

std::vector<std::string> names_starting_with(const std::string& folder, const std::string& prefix)
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& item : fs::directory_iterator(folder, ignored)) {
        std::string name = item.path().filename().string();
        if (name.compare(0, prefix.size(), prefix) == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}
