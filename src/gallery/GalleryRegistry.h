#pragma once
// The controls quarbel-gallery knows: each can be made, configured through its property bag
// with its persisted names, and shown in all its styles. A control joins by adding one entry
// to galleryControls().

#include "controls/common/PropertyBag.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace quarbel::gallery {

// What a property's value on the command line must look like.
enum class PropertyKind { Integer, Boolean, Text, Picture, Font };

struct GalleryProperty {
    QString name;
    PropertyKind kind;
};

struct GalleryControl {
    QString name;                             // as given to --render, e.g. "progressbar"
    std::vector<GalleryProperty> properties;  // the persisted properties it reads
    KeyCase keys = KeyCase::Insensitive;
    std::function<std::unique_ptr<QWidget>()> create;
    std::function<void(QWidget&, const PropertyBag&)> read;
    // Puts the widget into the asked states ("hover", "pressed", "focus", any combination)
    // after its properties were read; --render calls it only when states were asked. A
    // control without one has no states, and --render refuses any for it.
    std::function<void(QWidget&, const QStringList& states)> applyState;
    // A widget showing the control in every style at a few values and states.
    std::function<QWidget*(QWidget* parent)> showcase;
};

const std::vector<GalleryControl>& galleryControls();
// The control of that name (case-insensitive), or nullptr.
const GalleryControl* findControl(const QString& name);
// The property as the control spells it, or nullptr when it has none such.
const GalleryProperty* knownProperty(const GalleryControl& control, const QString& name);

// The entries, one a control.
GalleryControl progressBarControl();
GalleryControl pictureButtonControl();
GalleryControl themedButtonControl();

}  // namespace quarbel::gallery
