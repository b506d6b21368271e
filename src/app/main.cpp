#include <QApplication>

#include "gui/app/Bug1App.h"

int main(int argc, char* argv[]) {
    // Whole-number scale factors keep every pixel of a drawing one block of screen pixels.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication application(argc, argv);
    QApplication::setOrganizationName("ZOBL Graphics Editor");
    QApplication::setApplicationName("ZOBL Graphic Editor");
    QApplication::setApplicationVersion(ZOBL_VERSION);

    zobl::CBug1App app;
    QStringList arguments = QApplication::arguments();
    if (!arguments.isEmpty()) {
        arguments.removeFirst();  // the program itself
    }
    if (!app.InitInstance(arguments)) {
        app.ExitInstance();
        return 1;
    }
    const int result = QApplication::exec();
    app.ExitInstance();
    return result;
}
