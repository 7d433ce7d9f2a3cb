#pragma once
// The start-up test for a running instance: the first instance takes the lock; a later one
// shows the notice and must end without showing its window.

#include "platform/InstanceLock.h"
#include "platform/MessageBoxes.h"

namespace quarbel::app {

inline const QString kProgramTitle = QStringLiteral("Quarbel Image Converter 1.0");
inline const QString kAlreadyRunning = QStringLiteral(" Quarbel Image Converter is already running.");

// True when this is the only instance; otherwise shows the notice and returns false.
bool claimSingleInstance(platform::InstanceLock& lock, platform::MessageBoxes& messages);

}  // namespace quarbel::app
