#pragma once
// What assistive technology sees of an XP_ProgressBar: a progress bar whose value interface
// gives its Value between Min and Max, and whose value text is the shown percentage.

namespace quarbel {

// Lets QAccessible find the interface of every XP_ProgressBar. Safe to call more than once;
// the first bar made calls it.
void installProgressBarAccessible();

}  // namespace quarbel
