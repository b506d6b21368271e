#include "gui/app/BackGroundView.h"

#include <QFile>
#include <QImageReader>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "core/settings/GeneralSettings.h"
#include "gui/app/Bug1App.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandRouter.h"
#include "gui/framework/MenuResources.h"
#include "gui/lang/Localization.h"

#include <optional>

namespace zobl {

namespace {
// nullopt is a separator.
constexpr std::pair<std::optional<CommandId>, const char*> kWorkspaceItems[] = {
    {ID_FILE_NEW, "key1101"},         {ID_FILE_OPEN, "key1102"},
    {std::nullopt, nullptr},          {ID_WINDOW_NEW, "key1601"},
    {ID_WINDOW_CASCADE, "key1602"},   {ID_WINDOW_TILE_HORZ, "key1603"},
    {ID_WINDOW_TILE_VERT, "key1604"}, {ID_WINDOW_ARRANGE, "key1605"},
    {std::nullopt, nullptr},          {ID_BACKGROUND_PROPERTIES, "key1711"},
};
}  // namespace

std::unique_ptr<QMenu> BuildWorkspaceMenu(CommandRouter& router, const CLanguageManager& language) {
    auto menu = std::make_unique<QMenu>();
    menu->setObjectName(QStringLiteral("WorkspaceMenu"));
    for (const auto& [id, text] : kWorkspaceItems) {
        if (!id) {
            menu->addSeparator();
            continue;
        }
        menu->addAction(router.NewMenuItem(*id, QString::fromLatin1(text), menu.get()));
    }
    LocalizeMenu(menu.get(), language);
    router.UpdateMenu(menu.get());
    return menu;
}

CBackGroundView::CBackGroundView(CBug1App& app, CommandRouter& router, QWidget* parent)
    : QMdiArea(parent), app_(app), router_(router) {
    setObjectName(QStringLiteral("Workspace"));
    menuRunner_ = &ExecContextMenu;
}

CBackGroundView::~CBackGroundView() = default;

bool CBackGroundView::LoadBackgroundPicture(const QString& path) {
    picture_ = QImage();
    if (!path.isEmpty()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return false;
        }
        QImageReader reader(&file);
        reader.setDecideFormatFromContent(true);
        reader.setAutoTransform(true);
        // A file that is no picture leaves none; the workspace then shows its colour.
        picture_ = reader.read();
    }
    viewport()->update();
    return true;
}

CBackGroundView::Placement CBackGroundView::Place(QSize client) const {
    Placement placement;
    if (picture_.isNull()) {
        placement.strips << QRect(QPoint(0, 0), client);
        return placement;
    }
    if (app_.Settings().bckBmpFit2Size) {
        placement.picture = QRect(QPoint(0, 0), client);
        return placement;
    }
    // Natural size in pixels, centred; each half rounded toward zero, as C division does.
    const QSize size = picture_.deviceIndependentSize().toSize();
    const int left = client.width() / 2 - size.width() / 2;
    const int top = client.height() / 2 - size.height() / 2;
    placement.picture = QRect(QPoint(left, top), size);
    if (left > 0) {
        placement.strips << QRect(0, 0, left, client.height());
        placement.strips << QRect(left + size.width(), 0, client.width() - left - size.width(),
                                  client.height());
    }
    if (top > 0) {
        placement.strips << QRect(0, 0, client.width(), top);
        placement.strips << QRect(0, top + size.height(), client.width(),
                                  client.height() - top - size.height());
    }
    return placement;
}

void CBackGroundView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const Rgb colour = app_.Settings().mdiBck;
    const QColor background(colour.red, colour.green, colour.blue);
    const Placement placement = Place(viewport()->size());
    for (const QRect& strip : placement.strips) {
        if (!strip.isEmpty()) {
            painter.fillRect(strip, background);
        }
    }
    if (!placement.picture.isEmpty()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, app_.Settings().bckBmpFit2Size);
        painter.drawImage(placement.picture, picture_);
    }
}

void CBackGroundView::resizeEvent(QResizeEvent* event) {
    QMdiArea::resizeEvent(event);
    // The centred or stretched picture follows the new size.
    viewport()->update();
}

void CBackGroundView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        rightButtonDown_ = true;
    }
    QMdiArea::mousePressEvent(event);
}

void CBackGroundView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && rightButtonDown_) {
        rightButtonDown_ = false;
        ShowWorkspaceMenu(event->globalPosition().toPoint());
    }
    QMdiArea::mouseReleaseEvent(event);
}

void CBackGroundView::ShowWorkspaceMenu(const QPoint& globalPosition) {
    std::unique_ptr<QMenu> menu = BuildWorkspaceMenu(router_, app_.GetLanguageManager());
    menu->setParent(window(), Qt::Popup);
    menuRunner_(*menu, globalPosition);
}

}  // namespace zobl
