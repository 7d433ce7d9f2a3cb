#include "gallery/GalleryRegistry.h"

namespace quarbel::gallery {

const std::vector<GalleryControl>& galleryControls()
{
    static const std::vector<GalleryControl> controls{progressBarControl(), pictureButtonControl(),
                                                      themedButtonControl()};
    return controls;
}

const GalleryControl* findControl(const QString& name)
{
    for (const GalleryControl& c : galleryControls())
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const GalleryProperty* knownProperty(const GalleryControl& control, const QString& name)
{
    const auto cs = control.keys == KeyCase::Insensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (const GalleryProperty& p : control.properties)
        if (p.name.compare(name, cs) == 0)
            return &p;
    return nullptr;
}

}  // namespace quarbel::gallery
