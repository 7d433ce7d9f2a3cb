#pragma once

namespace quarbel::imagelist {

// The list's right-click menu: which commands are enabled and whether it is shown.
struct ListMenuState {
    bool shown = false;
    bool paste = false;      // "Paste"
    bool remove = false;     // "Delete"
    bool removeAll = false;  // "Delete All"
};

enum class ClipboardImages { None, Offered };

// The menu for a right-click on a list of `count` items, `hasCurrent` telling whether the
// list has a current item. When the clipboard offers an accepted image name the menu is
// always shown with "Paste" enabled, "Delete" with at least one item and "Delete All" with
// more than one. Otherwise "Paste" is disabled, and the menu is shown only when there is a
// current item, with "Delete" enabled and "Delete All" enabled unless it is the only item.
ListMenuState listMenuFor(int count, bool hasCurrent, ClipboardImages clipboard);

}  // namespace quarbel::imagelist
