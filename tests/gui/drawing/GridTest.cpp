#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "DialogTestSupport.h"
#include "SceneryViewSupport.h"
#include "gui/drawing/PngFiles.h"
#include "gui/palette/ColorSettings.h"
#include "gui/palette/ColourSwatchButton.h"

namespace zobl {
namespace {

constexpr QRgb kPixelLine = qRgb(10, 200, 30);  // colours no palette colour has
constexpr QRgb kCellLine = qRgb(200, 10, 130);
constexpr PaletteIndex kPainted = 20;

// Symbol 2 with rows 2 and 3 present, painted in one colour; symbol 3 with its base row only.
class Grids : public ::testing::Test, public test::SceneryViewFixture {
protected:
    void SetUp() override {
        OpenNewDocument();
        Model().AddRow(2, 2, 0);
        Fill(2, 2, kPainted);
        Fill(2, 3, kPainted);
        app->Settings().gridCol = {10, 200, 30};
        app->Settings().cellGridCol = {200, 10, 130};
    }
    void Switch(bool pixels, bool cells) {
        app->Settings().pixelGrid = pixels;
        app->Settings().cellGrid = cells;
        doc->UpdateAllViews(nullptr, 1, nullptr);
    }
    static int Count(const QImage& image, QRgb colour) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += At(image, x, y) == colour;
            }
        }
        return count;
    }
    static QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }
};

TEST_F(Grids, OffByDefaultTheMenuSwitchesThemOn) {
    view->SetZoom(10);
    EXPECT_EQ(Count(Render(), kPixelLine), 0);
    for (const CommandId id : {ID_VIEW_PIXEL_GRID, ID_VIEW_CELL_GRID}) {
        app->MainFrame()->Router().UpdateAction(Action(id));
        EXPECT_FALSE(Action(id)->isChecked());
        ASSERT_TRUE(Command(id));
        app->MainFrame()->Router().UpdateAction(Action(id));
        EXPECT_TRUE(Action(id)->isChecked());
    }
    const QImage image = Render();
    EXPECT_GT(Count(image, kPixelLine), 0);
    EXPECT_GT(Count(image, kCellLine), 0);
}

TEST_F(Grids, PixelLinesLieOnTheFirstColumnAndRowOfEverySquareFromZoom4On) {
    // Symbol 2 starts at d·z/2 + 2·(32 + d)·z (d = 4). Pixel (5, 7) of row 3: its square's left
    // column and top row.
    struct Case {
        int zoom;
        QRgb line;
        int symbolLeft, squareLeft, squareTop;
    };
    const QRgb painted = PaletteColour(kPainted);
    const Case cases[] = {
        {3, painted, 222, 237, 187}, {4, kPixelLine, 296, 316, 242}, {10, kPixelLine, 740, 790, 572}};
    Switch(true, false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zoom);
        view->SetZoom(c.zoom);
        const QImage image = Render();
        EXPECT_EQ(At(image, c.squareLeft, c.squareTop + 2), c.line);
        EXPECT_EQ(At(image, c.squareLeft + 1, c.squareTop), c.line);
        EXPECT_EQ(At(image, c.squareLeft + 1, c.squareTop + 2), painted);
        EXPECT_EQ(At(image, c.symbolLeft, c.squareTop + 2), painted);      // not on the outer edge
        EXPECT_NE(At(image, c.squareLeft, 22 + 20 * c.zoom), kPixelLine);  // nor in absent row 1
    }
}

TEST_F(Grids, CellLinesOutlineEveryCellAtEveryZoom) {
    Switch(false, true);
    for (const int zoom : {1, 4, 10}) {
        SCOPED_TRACE(zoom);
        view->SetZoom(zoom);
        const QImage image = Render();
        const int left = 2 * zoom + 2 * 36 * zoom;
        const int between = 22 + 48 * zoom;  // rows 2 | 3
        const int middleX = left + 16 * zoom + 1;
        const int inRow3 = between + 8 * zoom;
        for (const QPoint p : {QPoint(left, inRow3), QPoint(left + 32 * zoom - 1, inRow3),
                               QPoint(middleX, between), QPoint(middleX, 22 + 32 * zoom),
                               QPoint(middleX, 22 + 64 * zoom - 1), QPoint(left + 36 * zoom, inRow3)}) {
            EXPECT_EQ(At(image, p.x(), p.y()), kCellLine) << p.x() << "," << p.y();
        }
        EXPECT_EQ(At(image, middleX, inRow3), PaletteColour(kPainted));
        EXPECT_NE(At(image, left + 36 * zoom + 5, between - 2 * zoom), kCellLine);  // symbol 3's absent row 2
    }
}

TEST_F(Grids, CopiesAndExportsHoldThePixelsOnly) {
    Switch(true, true);
    view->SetZoom(10);
    view->SetMarkedArea(MarkedArea::Between({64, 32}, {95, 63}));
    ASSERT_TRUE(Command(ID_EDIT_COPY));
    const QString path = QString::fromStdString(folder.File("sheet.png"));
    doc->SetPngPrompts({[&](const QString&, const QString&) { return path; }, {}});
    ASSERT_TRUE(Command(ID_FILE_EXPORT_PNG));
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(32, 32));
    EXPECT_EQ(Count(copied, PaletteColour(kPainted)), 32 * 32);
    const QImage exported(path);
    ASSERT_FALSE(exported.isNull());
    EXPECT_EQ(Count(exported, kPixelLine) + Count(exported, kCellLine), 0);
}

class GridSettings : public ::testing::Test, public test::AppFixture {};

TEST_F(GridSettings, SwitchesZoomAndColoursFromMenuAndDialogsComeBackAfterARestart) {
    StartApp({}, true);
    ASSERT_TRUE(Command(ID_VIEW_PIXEL_GRID));
    app->Settings().showPixelGrid = 6;
    test::OnModal<CColorSettings>([](CColorSettings& dialog) {
        dialog.SetColourPrompt([](const QColor&) { return std::optional<QColor>(QColor(1, 2, 3)); });
        QTest::mouseClick(dialog.Button(CColorSettings::CellGridLines), Qt::LeftButton);
        dialog.accept();
    });
    ASSERT_TRUE(Command(ID_OPTIONS_COLOURS));
    EndApp();

    const GeneralSettings& again = StartApp().Settings();
    EXPECT_TRUE(again.pixelGrid);
    EXPECT_FALSE(again.cellGrid);
    EXPECT_EQ(again.showPixelGrid, 6);
    EXPECT_EQ(again.cellGridCol, (Rgb{1, 2, 3}));
    EXPECT_EQ(again.gridCol, GeneralSettings{}.gridCol);
}

}  // namespace
}  // namespace zobl
