#include "gallery/GalleryPage.h"

#include "controls/common/PropertyBag.h"
#include "gallery/AccessibleSummary.h"
#include "gallery/GalleryRegistry.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace quarbel::gallery {

namespace {

QWidget* statesRow(const GalleryControl& control, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    // A control without states is shown once, as it is made.
    const QStringList sets = control.applyState ? shownStateSets() : QStringList{QString()};
    for (const QString& set : sets) {
        auto* cell = new QVBoxLayout;
        std::unique_ptr<QWidget> widget = control.create();
        const QSize hint = widget->sizeHint();
        widget->setFixedSize(hint.isValid() ? hint : QSize(96, 28));
        control.read(*widget, PropertyBag(control.keys));
        const QStringList states = set.split(u',', Qt::SkipEmptyParts);
        if (!states.isEmpty())
            control.applyState(*widget, states);
        widget->setParent(row);
        QWidget* shown = widget.release();
        cell->addWidget(shown);
        cell->addWidget(new QLabel(set.isEmpty() ? QStringLiteral("normal") : set, row));
        // What a screen reader gets from it.
        cell->addWidget(accessibleSummaryLabel(shown, row));
        layout->addLayout(cell);
    }
    layout->addStretch();
    return row;
}

}  // namespace

const QStringList& shownStateSets()
{
    static const QStringList sets{QString(), QStringLiteral("hover"), QStringLiteral("pressed"),
                                  QStringLiteral("focus"), QStringLiteral("hover,pressed,focus")};
    return sets;
}

QWidget* buildGalleryPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    for (const GalleryControl& control : galleryControls()) {
        auto* section = new QWidget(page);
        section->setObjectName(control.name);
        auto* inner = new QVBoxLayout(section);
        auto* heading = new QLabel(control.name, section);
        QFont bold = heading->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.3);
        heading->setFont(bold);
        inner->addWidget(heading);
        inner->addWidget(control.showcase(section));
        inner->addWidget(statesRow(control, section));
        layout->addWidget(section);
    }
    layout->addStretch();
    return page;
}

}  // namespace quarbel::gallery
