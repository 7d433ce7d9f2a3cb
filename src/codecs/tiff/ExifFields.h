#pragma once
// EXIF entries as fields of the libtiff directory being written (IFD0, or the EXIF or GPS
// directory libtiff has created). libtiff takes each value in the form its field definition
// asks for, which need not be the type the camera wrote (a SHORT where the standard says
// LONG): the values are converted to it. A tag libtiff does not know is added to the
// directory's definitions with the entry's own type, so it is copied as it was.

#include "codecs/exif/Exif.h"

#include <tiffio.h>

namespace quarbel::codecs::tiff {

// False when the value cannot be given as the field libtiff defines (numbers for a text field,
// three values where it takes exactly two): the entry is then left out.
bool setEntry(TIFF* tiff, const exif::Entry& entry);

}  // namespace quarbel::codecs::tiff
