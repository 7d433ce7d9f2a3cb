#include "platform/PlatformServices.h"

namespace quarbel::platform {

PlatformServices PlatformServices::qt()
{
    return {std::make_shared<QtMessageBoxes>(), std::make_shared<QtShell>(),
            std::make_shared<QtFileDialogs>(), std::make_shared<QtClipboard>()};
}

}  // namespace quarbel::platform
