#pragma once
// The platform services the window reaches, gathered so that a test can replace any of them.

#include "platform/Clipboard.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <memory>

namespace quarbel::platform {

struct PlatformServices {
    std::shared_ptr<MessageBoxes> messages;
    std::shared_ptr<Shell> shell;
    std::shared_ptr<FileDialogs> dialogs;
    std::shared_ptr<Clipboard> clipboard;

    // The real, Qt-backed services.
    static PlatformServices qt();
};

}  // namespace quarbel::platform
