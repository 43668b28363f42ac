// The yardstick of the start-up benchmark: a bare Qt window of the wizard's size, shown once.
#include "ExitWhenPainted.h"
#include "VorlanMacGen.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(vmg::wizard::kClientWidth, vmg::wizard::kClientHeight);
    window.show();
    vmg::wizard::ExitWhenPainted(window);
    return QApplication::exec();
}
