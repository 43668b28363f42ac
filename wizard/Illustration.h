// The picture beside the page texts: a fragment of coloured macro code.
#pragma once

#include <QImage>

namespace vmg::wizard {

inline constexpr int kIllustrationWidth = 109;
inline constexpr int kIllustrationHeight = 127;

// The same picture every time, shared: the stored drawing (illustration.png), or a fresh
// drawing when the stored one is missing.
const QImage& MacroIllustration();

// Draws the picture; tools/draw-illustration stores its result as illustration.png.
QImage DrawMacroIllustration();

} // namespace vmg::wizard
