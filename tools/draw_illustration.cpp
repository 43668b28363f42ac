// Draws the page illustration and stores it as the PNG the wizard loads at start-up:
//   QT_QPA_PLATFORM=offscreen build/bin/vmg_draw_illustration wizard/illustration.png
#include "Illustration.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    if (!vmg::wizard::DrawMacroIllustration().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
