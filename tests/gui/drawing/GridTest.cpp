#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include "DialogTestSupport.h"
#include "SceneryViewSupport.h"
#include "core/clipboard/Clippy.h"
#include "gui/app/OptionsDlg.h"
#include "gui/drawing/PngFiles.h"
#include "gui/palette/ColorSettings.h"
#include "gui/palette/ColourSwatchButton.h"

namespace zobl {
namespace {

constexpr Rgb kPixelLines{10, 200, 30};
constexpr Rgb kCellLines{200, 10, 130};
constexpr PaletteIndex kPainted = 20;

// Symbol 2 with rows 2 and 3 present, painted in one colour; grid colours no palette colour has.
class Grids : public ::testing::Test, public test::SceneryViewFixture {
protected:
    void SetUp() override {
        OpenNewDocument();
        Model().AddRow(2, 2, 0);
        Fill(2, 2, kPainted);
        Fill(2, 3, kPainted);
        app->Settings().gridCol = kPixelLines;
        app->Settings().cellGridCol = kCellLines;
    }
    void Switch(bool pixels, bool cells) {
        app->Settings().pixelGrid = pixels;
        app->Settings().cellGrid = cells;
        doc->UpdateAllViews(nullptr, 1, nullptr);
    }
    static int Count(const QImage& image, Rgb colour) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += (image.pixel(x, y) | 0xFF000000u) == qRgb(colour.red, colour.green, colour.blue);
            }
        }
        return count;
    }
    static QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }
    static QRgb Colour(Rgb c) { return qRgb(c.red, c.green, c.blue); }
};

TEST_F(Grids, BothAreOffByDefaultAndTheMenuSwitchesThem) {
    EXPECT_FALSE(GeneralSettings{}.pixelGrid);
    EXPECT_FALSE(GeneralSettings{}.cellGrid);
    view->SetZoom(10);
    EXPECT_EQ(Count(Render(), kPixelLines), 0);
    for (const CommandId id : {ID_VIEW_PIXEL_GRID, ID_VIEW_CELL_GRID}) {
        SCOPED_TRACE(id);
        app->MainFrame()->Router().UpdateAction(Action(id));
        EXPECT_TRUE(Action(id)->isCheckable());
        EXPECT_FALSE(Action(id)->isChecked());
        ASSERT_TRUE(Command(id));
        app->MainFrame()->Router().UpdateAction(Action(id));
        EXPECT_TRUE(Action(id)->isChecked());
    }
    EXPECT_TRUE(app->Settings().pixelGrid && app->Settings().cellGrid);
    const QImage image = Render();
    EXPECT_GT(Count(image, kPixelLines), 0);
    EXPECT_GT(Count(image, kCellLines), 0);
}

TEST_F(Grids, PixelLinesLieOnTheFirstColumnAndRowOfEverySquareFromTheThresholdOn) {
    // Symbol 2 starts at d·z/2 + 2·(32 + d)·z (d = 4); row 2 begins 22 + 32·z down. Pixel (5, 7)
    // of row 3: its square's left column and top row.
    struct Case {
        int zoom;
        bool drawn;
        int symbolLeft;
        int squareLeft;
        int squareTop;
    };
    const Case cases[] = {
        {3, false, 222, 237, 187},
        {4, true, 296, 316, 242},
        {10, true, 740, 790, 572},
    };
    Switch(true, false);
    const QRgb painted = PaletteColour(kPainted);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zoom);
        view->SetZoom(c.zoom);
        const QImage image = Render();
        const QRgb line = c.drawn ? Colour(kPixelLines) : painted;
        EXPECT_EQ(At(image, c.squareLeft, c.squareTop + 2), line);         // vertical line
        EXPECT_EQ(At(image, c.squareLeft + 1, c.squareTop), line);         // horizontal line
        EXPECT_EQ(At(image, c.squareLeft + 1, c.squareTop + 2), painted);  // inside the square
        EXPECT_EQ(At(image, c.squareLeft - 1, c.squareTop + 2), painted);
        // Not on the symbol's outer edge, and not beside it.
        EXPECT_EQ(At(image, c.symbolLeft, c.squareTop + 2), painted);
        EXPECT_NE(At(image, c.symbolLeft - 1, c.squareTop + 2), Colour(kPixelLines));
        // Nothing where no row is shown (row 1 of symbol 2).
        EXPECT_NE(At(image, c.squareLeft, 22 + 20 * c.zoom), Colour(kPixelLines));
    }
}

TEST_F(Grids, CellLinesOutlineEveryCellAtEveryZoom) {
    Switch(false, true);
    for (const int zoom : {1, 4, 10}) {
        SCOPED_TRACE(zoom);
        view->SetZoom(zoom);
        const QImage image = Render();
        const int left = 2 * zoom + 2 * 36 * zoom;
        const int right = left + 32 * zoom - 1;
        const int top = 22 + 32 * zoom;      // row 2
        const int between = 22 + 48 * zoom;  // row 3
        const int bottom = 22 + 64 * zoom - 1;
        const int middleX = left + 16 * zoom + 1;
        const int inRow3 = between + 8 * zoom;
        for (const QPoint p : {QPoint(left, inRow3), QPoint(right, inRow3), QPoint(middleX, top),
                               QPoint(middleX, between), QPoint(middleX, bottom)}) {
            EXPECT_EQ(At(image, p.x(), p.y()), Colour(kCellLines)) << p.x() << "," << p.y();
        }
        EXPECT_EQ(At(image, middleX, inRow3), PaletteColour(kPainted));
        EXPECT_EQ(At(image, left + 1, inRow3), PaletteColour(kPainted));
        // Symbol 3 shows its base row only: one cell.
        EXPECT_EQ(At(image, left + 36 * zoom, inRow3), Colour(kCellLines));
        EXPECT_NE(At(image, left + 36 * zoom + 5, between - 2 * zoom),
                  Colour(kCellLines));  // its absent row 2
    }
}

TEST_F(Grids, CopiesExportsAndDragsHoldThePixelsOnly) {
    Switch(true, true);
    view->SetZoom(10);
    ASSERT_GT(Count(Render(), kPixelLines), 0);
    view->SetMarkedArea(MarkedArea::Between({64, 32}, {95, 63}));
    ASSERT_TRUE(Command(ID_EDIT_COPY));
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(32, 32));
    const QString path = QString::fromStdString(folder.File("sheet.png"));
    doc->SetPngPrompts({[&](const QString&, const QString&) { return path; }, {}});
    ASSERT_TRUE(Command(ID_FILE_EXPORT_PNG));
    const QImage exported(path);
    ASSERT_FALSE(exported.isNull());
    for (const auto& [name, picture] : {std::pair{"copy", copied}, {"PNG", exported}}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Count(picture, kPixelLines), 0);
        EXPECT_EQ(Count(picture, kCellLines), 0);
    }
    EXPECT_EQ(copied.pixel(0, 0) | 0xFF000000u, PaletteColour(kPainted));
    // What a drag carries is the internal clipboard's indices, the copied pixels alone.
    const CClippy& internal = app->Clipboard();
    int others = 0;
    for (int x = 0; x < internal.Width(); ++x) {
        for (int y = 0; y < internal.Height(); ++y) {
            others += internal.Get(x, y) != kPainted;
        }
    }
    EXPECT_EQ(others, 0);
}

class GridSettings : public ::testing::Test, public test::AppFixture {};

TEST_F(GridSettings, TheSwitchesZoomAndColoursComeBackAfterARestart) {
    CBug1App& first = StartApp();
    ASSERT_TRUE(Command(ID_VIEW_PIXEL_GRID));
    ASSERT_TRUE(Command(ID_VIEW_CELL_GRID));
    ASSERT_TRUE(Command(ID_VIEW_CELL_GRID));  // and off again
    first.Settings().showPixelGrid = 6;
    first.Settings().gridCol = {1, 2, 3};
    EndApp();
    EXPECT_TRUE(SettingsText().contains(QStringLiteral("[Grid]")));

    CBug1App& second = StartApp();
    EXPECT_TRUE(second.Settings().pixelGrid);
    EXPECT_FALSE(second.Settings().cellGrid);
    EXPECT_EQ(second.Settings().showPixelGrid, 6);
    EXPECT_EQ(second.Settings().gridCol, (Rgb{1, 2, 3}));
    app->MainFrame()->Router().UpdateAction(Action(ID_VIEW_PIXEL_GRID));
    EXPECT_TRUE(Action(ID_VIEW_PIXEL_GRID)->isChecked());
    EndApp();

    // Damaged values give the defaults.
    {
        QSettings ini(SettingsFile(), QSettings::IniFormat);
        ini.setValue("Grid/PIXELGRID", "ja");
        ini.setValue("Grid/SHOWPIXELGRID", 99);
    }
    CBug1App& third = StartApp();
    EXPECT_FALSE(third.Settings().pixelGrid);
    EXPECT_EQ(third.Settings().showPixelGrid, 4);
}

TEST_F(GridSettings, TheDialogsSetTheZoomAndTheColours) {
    StartApp({}, true);
    struct Case {
        const char* typed;
        std::vector<int> messages;
        int stored;
    };
    const Case cases[] = {{"0", {104}, 4}, {"17", {104}, 4}, {"x", {104}, 4}, {"7", {}, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        messages.entries.clear();
        test::OnModal<OptionsDlg>([&](OptionsDlg& dialog) {
            auto* zoom = dialog.findChild<QLineEdit*>(QStringLiteral("editPixelGrid"));
            ASSERT_NE(zoom, nullptr);
            EXPECT_EQ(zoom->text(), QString::number(app->Settings().showPixelGrid));
            zoom->setText(QString::fromLatin1(c.typed));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok1")), Qt::LeftButton);
            if (dialog.isVisible()) {
                dialog.reject();
            }
        });
        Command(ID_OPTIONS_SETTINGS);
        EXPECT_EQ(messages.Numbers(), c.messages);
        EXPECT_EQ(app->Settings().showPixelGrid, c.stored);
    }

    test::OnModal<CColorSettings>([](CColorSettings& dialog) {
        dialog.SetColourPrompt([](const QColor&) { return std::optional<QColor>(QColor(1, 2, 3)); });
        QTest::mouseClick(dialog.Button(CColorSettings::PixelGridLines), Qt::LeftButton);
        dialog.SetColourPrompt([](const QColor&) { return std::optional<QColor>(QColor(4, 5, 6)); });
        QTest::mouseClick(dialog.Button(CColorSettings::CellGridLines), Qt::LeftButton);
        dialog.accept();
    });
    Command(ID_OPTIONS_COLOURS);
    EXPECT_EQ(app->Settings().gridCol, (Rgb{1, 2, 3}));
    EXPECT_EQ(app->Settings().cellGridCol, (Rgb{4, 5, 6}));
}

}  // namespace
}  // namespace zobl
