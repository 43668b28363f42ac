// The stored page illustration is the drawing, so loading it instead changes nothing on screen.
#include "Illustration.h"

#include <QFont>
#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

TEST(Illustration, StoredPictureIsTheDrawing) {
    const QImage& stored = vmg::wizard::MacroIllustration();
    ASSERT_EQ(stored.size(),
              QSize(vmg::wizard::kIllustrationWidth, vmg::wizard::kIllustrationHeight));
    ASSERT_EQ(stored.format(), QImage::Format_RGB32);
    // The drawing's text depends on the face this system gives for "Courier New"; the stored
    // picture was drawn with Liberation Mono, its metric twin on Debian.
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(7);
    if (QFontInfo(font).family() != QStringLiteral("Liberation Mono")) {
        GTEST_SKIP() << "drawn here with " << QFontInfo(font).family().toStdString();
    }
    EXPECT_EQ(stored, vmg::wizard::DrawMacroIllustration())
        << "redraw it: QT_QPA_PLATFORM=offscreen vmg_draw_illustration wizard/illustration.png";
}

} // namespace
