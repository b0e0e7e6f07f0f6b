/*
 * first_pass_windows.cpp - first_pass.h by starting the runner again, with
 * FIRST_PASS_OPTION and a report file beside the trace's temporary files.
 */
#include <fstream>
#include <process.h>
#include <sstream>
#include <vector>
#include <windows.h>

#include "replay_runner/first_pass.h"
#include "support/test_host.h"

namespace {

// _spawnv joins the arguments with blanks as they are: each is quoted.
std::string quoted(const std::string& argument)
{
    std::string out = "\"";
    for (char c : argument) out += c == '"' ? std::string("\\\"") : std::string(1, c);
    return out + "\"";
}

}   // namespace

bool run_first_pass(int argc, char** argv, void (*)(int), std::string* report)
{
    const std::string folder = make_test_folder();
    if (folder.empty()) return false;
    const std::string report_file = folder + "first-pass.txt";
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) arguments.push_back(quoted(argv[i]));
    arguments.push_back(FIRST_PASS_OPTION);
    arguments.push_back(quoted(report_file));
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    pointers.push_back(nullptr);
    std::fflush(nullptr);
    intptr_t code = _spawnv(_P_WAIT, argv[0], pointers.data());
    std::ifstream in(report_file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    *report = text.str();
    in.close();
    DeleteFileA(report_file.c_str());
    RemoveDirectoryA(folder.c_str());
    return code == 0;
}
