#pragma once
// The "decoder" of the tests' worker: besides copying its input back, it does on request
// what a hostile picture might make a real decoder do. Each attempt that the confinement
// refuses fails the item with "refused: " and the error. Run by the test worker executable
// and by the tests' own copies of themselves made zygotes.

#include "platform/sandbox/WorkerMain.h"

namespace quarbel::platform::sandbox::test {

HandlerResult testDecode(std::string_view operation, std::span<const std::uint8_t> input, SharedBuffer& output);

// The zygote's start-up: leaves a thread behind when QUARBEL_TEST_ZYGOTE_THREAD is set,
// which a zygote must not.
void testPrepare();

}  // namespace quarbel::platform::sandbox::test
