#include "support/quiet_environment.h"

#include <cstdlib>

void QuietEnvironment::SetUp()
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    scratch_ = std::make_unique<ScratchFolder>();
    temp_ = std::make_unique<TempFolderOverride>(scratch_->path);
}

void QuietEnvironment::TearDown()
{
    temp_.reset();
    scratch_.reset();
}
