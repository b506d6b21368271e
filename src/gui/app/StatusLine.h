#pragma once

#include <array>

#include <QString>
#include <QStringList>

#include "gui/app/LockKeyState.h"

class QLabel;
class QStatusBar;

namespace zobl {

// The main window's status line: the message pane, the active view's zoom and the three lock
// indicators.
class StatusLine {
public:
    // Fills bar with the panes; readLockKeys tells the keyboard's states.
    StatusLine(QStatusBar& bar, LockKeyReader readLockKeys);

    void SetMessageText(const QString& text);
    QString MessageText() const;
    // "Zoom 8" while a view that magnifies is active, else empty.
    void SetZoomText(const QString& text);
    QString ZoomText() const;
    // The texts of the indicators ("UF", "NUM", "RF" while on, empty while off or while the window
    // system does not tell).
    QStringList IndicatorTexts() const;
    // Shows the lock keys' states as the window system reports them now.
    void UpdateLockIndicators();
    // Whether key is one of the lock keys the indicators show.
    static bool IsLockKey(int key);

private:
    LockKeyReader readLockKeys_;
    QLabel* messagePane_ = nullptr;
    QLabel* zoomPane_ = nullptr;
    std::array<QLabel*, 3> indicators_{};
};

}  // namespace zobl
