#pragma once
// Where the themed button's caption goes: the caption rectangle and text format that the
// re-layout computes from the measured, wrapped caption and the alignment.

#include "gfx/Types.h"

#include <QFont>
#include <QString>
#include <optional>

namespace quarbel::themed {

struct CaptionLayout {
    gfx::Rect rect;
    unsigned format = 0;
};

// The caption's place on a W x H control with IconMargin `margin`; nullopt for an unknown
// alignment (the previous place stays). The format carries no reading-order flag; see
// withReadingOrder.
std::optional<CaptionLayout> LayoutCaption(const QString& caption, const QFont& font, int W, int H, int align,
                                           int margin, bool rightToLeft);

// The format with the right-to-left reading flag added when rightToLeft.
unsigned withReadingOrder(unsigned format, bool rightToLeft);

}  // namespace quarbel::themed
