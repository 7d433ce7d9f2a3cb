#include "imagelist/MenuRules.h"

namespace quarbel::imagelist {

ListMenuState listMenuFor(int count, bool hasCurrent, ClipboardImages clipboard)
{
    ListMenuState menu;
    if (clipboard == ClipboardImages::Offered) {
        menu.remove = count >= 1;
        menu.removeAll = count > 1;
        menu.paste = true;
        menu.shown = true;
        return menu;
    }
    if (!hasCurrent)
        return menu;
    menu.remove = true;
    menu.removeAll = count != 1;
    menu.shown = true;
    return menu;
}

}  // namespace quarbel::imagelist
