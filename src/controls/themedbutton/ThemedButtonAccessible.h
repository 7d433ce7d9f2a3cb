#pragma once
// What assistive technology sees of a ThemedButton: a push button (a check box when its
// ButtonType is the toggle, checked while its Value is True) named by its caption without the
// access-key marker, described by its tooltip text, with its pressed and hot-tracked states,
// the access key as the key binding, and a press action that clicks it as the left mouse
// button does.

namespace quarbel {

// Lets QAccessible find the interface of every ThemedButton. Safe to call more than once;
// the first ThemedButton made calls it.
void installThemedButtonAccessible();

}  // namespace quarbel
