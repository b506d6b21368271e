#include "gui/framework/MainWindow.h"

#include <QMdiArea>

namespace zobl {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setCentralWidget(new QMdiArea(this));
    resize(1024, 700);
}

}  // namespace zobl
