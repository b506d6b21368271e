#pragma once

#include <functional>
#include <memory>

#include <QImage>
#include <QMdiArea>
#include <QPoint>

class QMenu;

namespace zobl {

class CBug1App;
class CLanguageManager;
class CommandRouter;

// Context menu 154 of the workspace background and of the document windows' captions: new,
// open, new window, cascade, tile, tile, arrange, background properties.
inline constexpr int kWorkspaceMenu = 154;
std::unique_ptr<QMenu> BuildWorkspaceMenu(CommandRouter& router, const CLanguageManager& language);

// The workspace behind the document windows: it shows the colour MDIBCK or a picture,
// stretched (BCKBMPFIT2SIZE) or centred with strips of the colour around it, and offers the
// workspace menu on a right click.
class CBackGroundView : public QMdiArea {
    Q_OBJECT
public:
    // How a menu is shown at a point on the screen (tests put a recorder in its place).
    using MenuRunner = std::function<void(QMenu& menu, const QPoint& globalPosition)>;

    CBackGroundView(CBug1App& app, CommandRouter& router, QWidget* parent = nullptr);
    ~CBackGroundView() override;

    // Drops the current picture and, for a path that is not empty, loads the picture of that
    // file (the format is read from the content). False when the file cannot be opened; then
    // there is no picture and nothing is repainted. Otherwise the workspace is repainted; a file
    // that is no readable picture leaves the plain colour.
    bool LoadBackgroundPicture(const QString& path);
    bool HasPicture() const { return !picture_.isNull(); }
    const QImage& Picture() const { return picture_; }

    // Opens the workspace menu at globalPosition.
    void ShowWorkspaceMenu(const QPoint& globalPosition);
    void SetMenuRunner(MenuRunner runner) { menuRunner_ = std::move(runner); }

    // What the background painting puts into a client area of the given size (exposed for
    // tests and the desktop code): the picture's rectangle and the colour strips.
    struct Placement {
        QRect picture;        // empty without a picture
        QList<QRect> strips;  // filled with MDIBCK
    };
    Placement Place(QSize client) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CBug1App& app_;
    CommandRouter& router_;
    QImage picture_;
    bool rightButtonDown_ = false;
    MenuRunner menuRunner_;
};

}  // namespace zobl
