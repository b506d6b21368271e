#include <QApplication>

#include "gui/framework/MainWindow.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("ZOBL Graphics Editor");
    QApplication::setApplicationName("ZOBL Graphic Editor");
    zobl::MainWindow window;
    window.show();
    return QApplication::exec();
}
