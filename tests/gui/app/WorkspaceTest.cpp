#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "DialogTestSupport.h"
#include "GuiTestSupport.h"
#include "gui/app/BackGroundView.h"
#include "gui/app/OptionsDlg.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandRouter.h"
#include "gui/framework/DocManager.h"
#include "gui/lang/Localization.h"

namespace zobl {
namespace {

class Workspace : public ::testing::Test, public test::AppFixture {
protected:
    Workspace() { CChildFrame::ResetCascade(); }

    CBackGroundView& Background() { return *qobject_cast<CBackGroundView*>(app->MainFrame()->MdiArea()); }
    // A picture file of width x height in one colour.
    QString WritePicture(const std::string& name, int width, int height, QColor colour, const char* format) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = QString::fromStdString(folder.File(name));
        EXPECT_TRUE(image.save(path, format));
        return path;
    }
    // Records the workspace menus instead of showing them.
    void RecordMenus() {
        Background().SetMenuRunner([this](QMenu& menu, const QPoint& position) {
            std::vector<int> ids;
            QStringList texts;
            for (QAction* action : menu.actions()) {
                ids.push_back(test::CommandNumber(action));
                texts << action->text();
            }
            menus.push_back(ids);
            menuTexts.push_back(texts);
            menuPositions.push_back(position);
        });
    }
    std::vector<std::vector<int>> menus;
    std::vector<QStringList> menuTexts;
    std::vector<QPoint> menuPositions;
};

TEST_F(Workspace, NewWindowsCascadeAndTheTenthStartsAgain) {
    StartApp({}, true);
    const QRect client = Background().viewport()->rect();
    ASSERT_GT(client.width(), 300);
    for (int i = 0; i < 10; ++i) {
        ASSERT_NE(
            app->OpenDocumentFile(WriteSceneryFile(std::string("d").append(std::to_string(i)).append(".gs"))),
            nullptr);
    }
    const QList<QMdiSubWindow*> windows = Background().subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 10);
    for (int i = 0; i < 10; ++i) {
        const int offset = i < 9 ? 7 * (i + 1) : 7;
        EXPECT_EQ(windows[i]->geometry(),
                  QRect(offset, offset, client.width() - 3 * offset, client.height() - 3 * offset))
            << i;
    }
    EXPECT_EQ(CChildFrame::CascadeOffset(), 7);
}

TEST_F(Workspace, TheBackgroundShowsItsColourOrItsPicture) {
    StartApp({}, true);
    CBackGroundView& background = Background();
    background.resize(400, 300);
    const QSize client = background.viewport()->size();
    app->Settings().mdiBck = {10, 20, 30};
    EXPECT_FALSE(background.HasPicture());
    EXPECT_EQ(background.viewport()->grab().toImage().pixelColor(5, 5), QColor(10, 20, 30));

    // Larger than the workspace and not stretched: centred, cut at the edges, no strips.
    app->Settings().bckBmpFit2Size = false;
    ASSERT_TRUE(background.LoadBackgroundPicture(WritePicture("big.bmp", 1001, 901, Qt::red, "BMP")));
    CBackGroundView::Placement placement = background.Place(client);
    EXPECT_EQ(placement.picture, QRect(client.width() / 2 - 500, client.height() / 2 - 450, 1001, 901));
    EXPECT_TRUE(placement.strips.isEmpty());
    const QImage big = background.viewport()->grab().toImage();
    EXPECT_EQ(big.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(big.pixelColor(client.width() - 1, client.height() - 1), QColor(Qt::red));

    // Smaller: strips of the colour around it.
    ASSERT_TRUE(background.LoadBackgroundPicture(WritePicture("small.png", 100, 50, Qt::green, "PNG")));
    placement = background.Place(client);
    const QRect picture(client.width() / 2 - 50, client.height() / 2 - 25, 100, 50);
    EXPECT_EQ(placement.picture, picture);
    EXPECT_EQ(placement.strips.size(), 4);
    const QImage small = background.viewport()->grab().toImage();
    EXPECT_EQ(small.pixelColor(picture.center()), QColor(Qt::green));
    EXPECT_EQ(small.pixelColor(picture.left() - 1, picture.top()), QColor(10, 20, 30));
    EXPECT_EQ(small.pixelColor(picture.left(), picture.top() - 1), QColor(10, 20, 30));

    // Stretched over the whole workspace.
    app->Settings().bckBmpFit2Size = true;
    placement = background.Place(client);
    EXPECT_EQ(placement.picture, QRect(QPoint(0, 0), client));
    EXPECT_EQ(background.viewport()->grab().toImage().pixelColor(2, 2), QColor(Qt::green));

    // A file that cannot be opened: no picture, false. One that is no picture: the plain colour.
    EXPECT_FALSE(background.LoadBackgroundPicture(QString::fromStdString(folder.File("fehlt.jpg"))));
    EXPECT_FALSE(background.HasPicture());
    std::ofstream(folder.File("kaputt.jpg"), std::ios::binary) << "\xFF\xD8\xFF kein Bild";
    EXPECT_TRUE(background.LoadBackgroundPicture(QString::fromStdString(folder.File("kaputt.jpg"))));
    EXPECT_FALSE(background.HasPicture());
    EXPECT_EQ(background.viewport()->grab().toImage().pixelColor(5, 5), QColor(10, 20, 30));
    EXPECT_TRUE(background.LoadBackgroundPicture({}));
}

TEST_F(Workspace, ThePictureLoadsAtStartOnlyWithEnableBitmap) {
    CBug1App& first = MakeApp();
    first.Settings().bckBitmap = WritePicture("bild.jpg", 20, 10, Qt::yellow, "JPEG").toStdString();
    first.Settings().enableBitmap = false;
    first.SaveSettings();
    app.reset();
    StartApp();
    EXPECT_FALSE(Background().HasPicture());
    app->Settings().enableBitmap = true;
    app->SaveSettings();
    EndApp();
    StartApp();
    EXPECT_TRUE(Background().HasPicture());
    EXPECT_EQ(Background().Picture().size(), QSize(20, 10));
}

TEST_F(Workspace, TheBackgroundDialogStoresItsSettingsAndLoadsThePicture) {
    StartApp({}, true);
    const QString picture = WritePicture("b.gif", 30, 30, Qt::cyan, "PNG");
    app->Settings().bckBitmap = picture.toStdString();
    app->Settings().enableBitmap = true;
    ASSERT_TRUE(Background().LoadBackgroundPicture(picture));

    // Unticking the picture removes it, although BCKBITMAP keeps its path.
    test::OnModal<CDlgBckProperties>([this](CDlgBckProperties& dialog) {
        EXPECT_EQ(app->GetHelpContext(), 50190);
        auto* enable = dialog.findChild<QCheckBox*>(QStringLiteral("check1067"));
        EXPECT_TRUE(enable->isChecked());
        QTest::mouseClick(enable, Qt::LeftButton);
        EXPECT_FALSE(dialog.findChild<QLineEdit*>(QStringLiteral("edit1078"))->isEnabled());
        dialog.SetColourPrompt([this](const QColor& initial) {
            EXPECT_EQ(app->GetHelpContext(), 50160);
            EXPECT_EQ(initial, QColor(128, 128, 128));
            return std::optional<QColor>(QColor(1, 2, 3));
        });
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("colour1080")), Qt::LeftButton);
        EXPECT_EQ(app->GetHelpContext(), 50190);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok1")), Qt::LeftButton);
    });
    Command(ID_BACKGROUND_PROPERTIES);
    EXPECT_FALSE(app->Settings().enableBitmap);
    EXPECT_EQ(app->Settings().bckBitmap, picture.toStdString());
    EXPECT_EQ(app->Settings().mdiBck, (Rgb{1, 2, 3}));
    EXPECT_FALSE(Background().HasPicture());

    // Ticking it with no path opens the picture prompt at once.
    app->Settings().bckBitmap.clear();
    CDlgBckProperties dialog(*app, [this](const QString& path) { Background().LoadBackgroundPicture(path); });
    QStringList asked;
    dialog.SetPicturePrompt([&](const QString& current) {
        EXPECT_EQ(app->GetHelpContext(), 50195);
        asked << current;
        return picture;
    });
    dialog.show();
    auto* enable = dialog.findChild<QCheckBox*>(QStringLiteral("check1067"));
    QTest::mouseClick(enable, Qt::LeftButton);
    EXPECT_EQ(asked, QStringList{QString()});
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("edit1078"))->text(), picture);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok1")), Qt::LeftButton);
    EXPECT_TRUE(app->Settings().enableBitmap);
    EXPECT_TRUE(Background().HasPicture());
}

// The context menus the editor opens itself come up with their first item selected, so that
// Return acts at once.
TEST_F(Workspace, ContextMenusOpenWithTheirFirstItemSelected) {
    StartApp({}, true);
    struct Seen {
        int activeCommand = -1;
        bool firstActive = false;
    };
    const auto whenOpen = [](const std::function<void()>& open) {
        auto seen = std::make_shared<Seen>();
        QTimer::singleShot(50, [seen] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                seen->activeCommand = test::CommandNumber(menu->activeAction());
                seen->firstActive = menu->activeAction() == menu->actions().value(0);
                menu->close();
            }
        });
        open();
        QTest::qWait(80);
        return *seen;
    };
    QWidget* viewport = Background().viewport();
    const Seen workspace = whenOpen([&] {
        QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(30, 40));
        QTest::mouseRelease(viewport, Qt::RightButton, {}, QPoint(30, 40));
    });
    EXPECT_EQ(workspace.activeCommand, ID_FILE_NEW);
    // The menu of the bars, Qt's own, on a right click on a tool bar.
    QToolBar* bar = app->MainFrame()->MainToolBar();
    const Seen bars = whenOpen([&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), bar->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(bar, &event);
    });
    EXPECT_TRUE(bars.firstActive);
}

TEST_F(Workspace, RightClicksOnTheBackgroundAndOnCaptionsOpenTheWorkspaceMenu) {
    StartApp({}, true);
    RecordMenus();
    QWidget* viewport = Background().viewport();
    QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(30, 40));
    QTest::mouseRelease(viewport, Qt::RightButton, {}, QPoint(30, 40));
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0], (std::vector<int>{57600, 57601, 0, 57648, 57650, 57651, 57652, 57649, 0, 32828}));
    EXPECT_EQ(menuPositions[0], viewport->mapToGlobal(QPoint(30, 40)));
    EXPECT_EQ(menuTexts[0].back(), GetText(app->GetLanguageManager(), 1711, kMenuSection));
    // A release without its press opens nothing.
    QTest::mouseRelease(viewport, Qt::RightButton, {}, QPoint(30, 40));
    EXPECT_EQ(menus.size(), 1u);

    app->OpenDocumentFile(WriteSceneryFile("a.gs"));
    auto* frame = qobject_cast<CChildFrame*>(Background().currentSubWindow());
    ASSERT_NE(frame, nullptr);
    const QRect content = frame->widget()->geometry();
    const QPoint caption(content.center().x(), content.top() / 2);
    QTest::mousePress(frame, Qt::RightButton, {}, caption);
    QTest::mouseRelease(frame, Qt::RightButton, {}, caption);
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[1], menus[0]);
    // Inside the window's client area nothing of ours opens.
    QTest::mousePress(frame, Qt::RightButton, {}, content.center());
    QTest::mouseRelease(frame, Qt::RightButton, {}, content.center());
    EXPECT_EQ(menus.size(), 2u);
}

TEST_F(Workspace, TheWindowMenuOfADocumentWindowDescribesItsItems) {
    StartApp({}, true);
    app->OpenDocumentFile(WriteSceneryFile("a.gs"));
    auto* frame = qobject_cast<CChildFrame*>(Background().currentSubWindow());
    ASSERT_NE(frame, nullptr);
    QMenu* menu = frame->systemMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> items = menu->actions();
    ASSERT_GE(items.size(), 8);
    const auto state = [&](int key) { return GetText(app->GetLanguageManager(), key, kStateSection); };
    app->SetHelpContext(2090);
    const int keys[] = {7101, 7102, 7103, 7104, 7105};
    for (int i = 0; i < 5; ++i) {
        emit menu->hovered(items[i]);
        EXPECT_EQ(app->MainFrame()->MessageText(), state(keys[i])) << i;
    }
    EXPECT_EQ(app->GetHelpContext(), 40080);
    emit menu->hovered(items[7]);
    EXPECT_EQ(app->MainFrame()->MessageText(), state(7106));
    app->SetHelpContext(2090);
    emit menu->hovered(items[5]);  // stay on top: no text of ours
    EXPECT_EQ(app->MainFrame()->MessageText(), state(7000));
    EXPECT_EQ(app->GetHelpContext(), 2090);
    emit menu->hovered(items[0]);
    emit menu->aboutToHide();
    EXPECT_EQ(app->MainFrame()->MessageText(), state(7000));
}

}  // namespace
}  // namespace zobl
