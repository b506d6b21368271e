#pragma once

#include <QMainWindow>

namespace zobl {

// The editor's main window. For now a bare multi-document frame.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};

}  // namespace zobl
