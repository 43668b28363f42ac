// The picture beside the page texts: a fragment of coloured macro code, drawn at run time.
#pragma once

#include <QImage>

namespace vmg::wizard {

inline constexpr int kIllustrationWidth = 109;
inline constexpr int kIllustrationHeight = 127;

// The same picture every time; drawn once and shared.
const QImage& MacroIllustration();

} // namespace vmg::wizard
