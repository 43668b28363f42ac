// The stored page illustration is the drawing, so loading it instead changes nothing on screen.
#include "Illustration.h"

#include <QByteArray>
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
        << "redraw it: QT_QPA_PLATFORM=offscreen vmg_draw_illustration wizard/illustration.bmp";
}

// The stored form is a plain BMP that Qt's own reader reads as the picture, the wizard's reading
// gives the picture back, and the program shows the stored file; anything else is refused, so
// that the drawing stands in.
TEST(Illustration, TheStoredFormIsAPlainBmpReadBackWhole) {
    using vmg::wizard::IllustrationBmp;
    using vmg::wizard::IllustrationFromBmp;
    const QImage picture = vmg::wizard::DrawMacroIllustration();
    const QByteArray bmp = IllustrationBmp(picture);
    EXPECT_EQ(IllustrationFromBmp(bmp), picture);
    EXPECT_EQ(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32), picture);
    EXPECT_EQ(vmg::wizard::MacroIllustration(),
              QImage(QStringLiteral(":/wizard/illustration.bmp"), "BMP")
                  .convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(IllustrationBmp(picture.scaled(10, 10)).isEmpty());

    const struct {
        const char* name;
        int at; // the byte changed, or -1 to cut the last byte off
        char value;
    } broken[] = {{"truncated", -1, 0},        {"not BM", 0, 'X'},  {"wider", 18, 110},
                  {"bottom-up", 25, 0},        {"24 bits", 28, 24}, {"compressed", 30, 3},
                  {"pixels elsewhere", 10, 60}};
    for (const auto& b : broken) {
        QByteArray changed = bmp;
        if (b.at < 0) {
            changed.chop(1);
        } else {
            changed[b.at] = b.value;
        }
        EXPECT_TRUE(IllustrationFromBmp(changed).isNull()) << b.name;
    }
}

} // namespace
