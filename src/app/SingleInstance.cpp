#include "app/SingleInstance.h"

namespace quarbel::app {

bool claimSingleInstance(platform::InstanceLock& lock, platform::MessageBoxes& messages)
{
    if (lock.acquire())
        return true;
    messages.show(nullptr, kAlreadyRunning, kProgramTitle, platform::MessageIcon::Exclamation,
                  platform::MessageButtons::Ok);
    return false;
}

}  // namespace quarbel::app
