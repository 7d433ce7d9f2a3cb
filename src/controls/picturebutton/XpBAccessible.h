#pragma once
// What assistive technology sees of an XpB: a push button named by its caption (without the
// access-key marker), described by its tooltip, with its pressed and hot-tracked states, the
// access key as the press action's key binding, and a press action that clicks the button as
// the left mouse button does (pressed look, click sound, Click, link).

namespace quarbel {

// Lets QAccessible find the interface of every XpB. Safe to call more than once; the first
// XpB made calls it.
void installXpBAccessible();

}  // namespace quarbel
