// The image list's side of the window: the Source and Destination buttons, the list's
// click, context menu, drag-and-drop and paste, Clear, and the preview.

#include "app/Form3.h"

namespace quarbel::app {

void Form3::connectImageList() {}

}  // namespace quarbel::app
