#include "support/quiet_environment.h"

#include "support/test_host.h"

void QuietEnvironment::SetUp()
{
    set_environment("SDL_AUDIODRIVER", "dummy", false);
    scratch_ = std::make_unique<ScratchFolder>();
    temp_ = std::make_unique<TempFolderOverride>(scratch_->path);
}

void QuietEnvironment::TearDown()
{
    temp_.reset();
    scratch_.reset();
}
