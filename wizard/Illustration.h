// The picture beside the page texts: a fragment of coloured macro code.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

namespace vmg::wizard {

inline constexpr int kIllustrationWidth = 109;
inline constexpr int kIllustrationHeight = 127;

// The same picture every time, shared: the stored drawing (illustration.bmp), or a fresh
// drawing when the stored one is missing.
const QImage& MacroIllustration();

// Draws the picture; tools/draw_illustration stores its result as illustration.bmp.
QImage DrawMacroIllustration();

// The stored picture's file, a 32-bit top-down BMP that any BMP reader reads, and the picture
// read back from it without decoding; a null image for anything but a picture of the
// illustration's size in that exact form.
QByteArray IllustrationBmp(const QImage& picture);
QImage IllustrationFromBmp(QByteArrayView bmp);

} // namespace vmg::wizard
