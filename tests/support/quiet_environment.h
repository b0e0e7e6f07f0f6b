/*
 * quiet_environment.h - a test environment for tests that start runtime
 * parts without the harness.
 *
 * Points SDL at its silent "dummy" audio driver (unless the runner chose one
 * already) and the runtime's temporary folder, where the log goes, at a
 * scratch folder of the test program's own, so no test writes into the
 * user's real log.  Register it once per program:
 *   ::testing::AddGlobalTestEnvironment(new QuietEnvironment);
 *
 * Callers: test_input.cpp, test_sound.cpp, test_music.cpp.
 * Not for: production code.
 */
#pragma once

#include <gtest/gtest.h>
#include <memory>

#include "support/scratch_folder.h"

class QuietEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

private:
    std::unique_ptr<ScratchFolder> scratch_;
    std::unique_ptr<TempFolderOverride> temp_;
};
