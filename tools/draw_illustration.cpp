// Draws the page illustration and stores it as the BMP the wizard shows at start-up:
//   QT_QPA_PLATFORM=offscreen build/bin/vmg_draw_illustration wizard/illustration.bmp
#include "Illustration.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    const QByteArray bmp = vmg::wizard::IllustrationBmp(vmg::wizard::DrawMacroIllustration());
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bmp) != bmp.size()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
