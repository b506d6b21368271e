#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "GuiTestSupport.h"
#include "core/vehicles/FgsFile.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "gui/vehicles/TrainPreview.h"

namespace zobl {
namespace {

constexpr MouseMode kFreehand = MouseMode::Freehand;
constexpr int kLengths[] = {3, 1, 2};      // Forward: x 0..23, 24..31, 32..47; Reverse: car 2, 1, 0
constexpr int kSideColours[2] = {10, 20};  // view 1 of car c is 10 + c, view 2 is 20 + c

// A set of three cars whose side views are flat colours, and a set without cars.
class TrainPreviewTest : public ::testing::Test, public test::AppFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartActiveApp());
        doc = static_cast<CFGSDoc*>(app->Documents().NewDocument(*app->VehicleTemplate()));
        VehicleDocument& model = doc->Model();
        ASSERT_TRUE(model.AddVehicleSet("Zug", kFreehand));
        for (int c = 0; c < 3; ++c) {
            ASSERT_TRUE(
                model.AddCar(0, c, "Wagen" + std::to_string(c), "", "", kLengths[c], nullptr, kFreehand));
            for (int view = 1; view <= 2; ++view) {
                for (int y = 0; y < 14; ++y) {
                    for (int x = 0; x < 8 * kLengths[c]; ++x) {
                        model.SetPixel(0, c, view, x, y, PaletteIndex(kSideColours[view - 1] + c), false,
                                       kFreehand);
                    }
                }
            }
        }
        ASSERT_TRUE(model.AddVehicleSet("Leer", kFreehand));
        model.ResetUndoHistory();
        model.Notify({VehicleHintCode::RebuildAll});
        view = dynamic_cast<CFGSView*>(doc->Views().front());
        view->resize(700, 400);
        preview = view->Preview();
    }
    void SelectSet(int set = 0) {
        view->Tree()->SelectSet(set);
        QCoreApplication::processEvents();
    }
    void SelectCar(int car) {
        view->Tree()->SelectCar(0, car);
        QCoreApplication::processEvents();
    }
    // The canvas as shown, and the colour at strip pixel (x, y) of a row, at its square's corner.
    QImage Grab() const { return preview->Canvas()->grab().toImage(); }
    QPoint StripPoint(TrainDirection direction, int x, int y) const {
        const int zoom = preview->StripZoom();
        return preview->RowRect(direction).topLeft() + QPoint(x * zoom, y * zoom);
    }
    QRgb DisplayOf(int index) const { return DisplayColour(app->GetPalette(), index).rgb(); }

    CFGSDoc* doc = nullptr;
    CFGSView* view = nullptr;
    TrainPreview* preview = nullptr;
};

TEST_F(TrainPreviewTest, SetShowsBothDirectionsAtTheLargestZoomThatFits) {
    SelectSet();
    ASSERT_TRUE(preview->isVisible());
    EXPECT_EQ(app->GetHelpContext(), TrainPreview::kHelpContext);  // F1 explains the preview
    EXPECT_EQ(preview->InfoText(), QStringLiteral("Zug – Fahrzeuge: 3, Länge: 48 Pixel, Segmente: 6"));
    // Car c's pixels in each row, in the order the coupling gives.
    const QImage shown = Grab();
    const struct {
        TrainDirection direction;
        int x;
        int colour;
    } places[] = {{TrainDirection::Forward, 0, 10},  {TrainDirection::Forward, 24, 11},
                  {TrainDirection::Forward, 47, 12}, {TrainDirection::Reverse, 0, 22},
                  {TrainDirection::Reverse, 16, 21}, {TrainDirection::Reverse, 24, 20}};
    for (const auto& place : places) {
        EXPECT_EQ(shown.pixel(StripPoint(place.direction, place.x, 13)), DisplayOf(place.colour))
            << int(place.direction) << " " << place.x;
    }
    // Windows of several widths: the strip fits beside room for a vertical scroll bar, and one
    // zoom more would not (up to the largest zoom); a window too narrow even for zoom 1 scrolls.
    const int scrollBar = preview->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (const int width : {260, 400, 700, 1100, 2400}) {
        SCOPED_TRACE(width);
        view->resize(width, 400);
        QCoreApplication::processEvents();
        const int zoom = preview->StripZoom();
        const QRect row = preview->RowRect(TrainDirection::Forward);
        const int room = preview->width() - scrollBar;
        EXPECT_EQ(row.width(), 48 * zoom);
        EXPECT_EQ(preview->RowRect(TrainDirection::Reverse).width(), 48 * zoom);
        const int margins = 2 * (TrainPreview::kMargin + TrainPreview::kFrameWidth);
        if (zoom > 1) {
            EXPECT_LE(48 * zoom + margins, room);
        }
        if (zoom < train::kMaxZoom) {
            EXPECT_GT(48 * (zoom + 1) + margins, room);
        }
        const auto* scroll = preview->findChild<QScrollArea*>();
        EXPECT_EQ(scroll->horizontalScrollBar()->maximum() > 0, 48 + margins > scroll->viewport()->width());
    }
    // A set without cars says so and shows no strip.
    SelectSet(1);
    EXPECT_EQ(preview->InfoText(), QStringLiteral("Leer – dieser Fahrzeugsatz hat noch keine Fahrzeuge"));
    EXPECT_TRUE(preview->RowRect(TrainDirection::Forward).isEmpty());
    CommandState save;
    ASSERT_TRUE(view->OnUpdateCommand(ID_VEHICLE_SAVE_TRAIN_PNG, save));
    EXPECT_FALSE(save.enabled);
}

TEST_F(TrainPreviewTest, CarIsFramedAmongItsNeighboursWithItsFourViewsBelow) {
    SelectCar(1);
    ASSERT_TRUE(preview->isVisible());
    const int zoom = preview->StripZoom();
    const int frame = TrainPreview::kFrameWidth;
    // Car 1 is at 24..31 Forward and 16..23 Reverse.
    EXPECT_EQ(preview->FrameRect(TrainDirection::Forward),
              QRect(StripPoint(TrainDirection::Forward, 24, 0), QSize(8 * zoom, 14 * zoom))
                  .adjusted(-frame, -frame, frame, frame));
    EXPECT_EQ(preview->FrameRect(TrainDirection::Reverse),
              QRect(StripPoint(TrainDirection::Reverse, 16, 0), QSize(8 * zoom, 14 * zoom))
                  .adjusted(-frame, -frame, frame, frame));
    const QImage shown = Grab();
    const QRgb highlight = preview->palette().color(QPalette::Active, QPalette::Highlight).rgb();
    const QRect framed = preview->FrameRect(TrainDirection::Forward);
    EXPECT_EQ(shown.pixel(framed.topLeft()), highlight);
    EXPECT_EQ(shown.pixel(framed.bottomRight()), highlight);
    // Inside the frame the car, and its neighbours unframed.
    EXPECT_EQ(shown.pixel(StripPoint(TrainDirection::Forward, 28, 7)), DisplayOf(11));
    EXPECT_EQ(shown.pixel(StripPoint(TrainDirection::Forward, 12, 0) + QPoint(0, -frame)),
              ToQColor(app->Settings().fgsvBg).rgb());
    // The four views in the tree's order 1, 2, 3, 0, at one zoom: side views 8 x 14, top views 8 x 4.
    const int viewZoom = preview->ViewZoom();
    const QSize sizes[] = {{8, 14}, {8, 14}, {8, 4}, {8, 4}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(preview->ViewRect(k).size(), sizes[k] * viewZoom) << k;
        EXPECT_EQ(preview->ViewRect(k).intersected(preview->ViewRect((k + 1) % 4)), QRect()) << k;
    }
    EXPECT_EQ(shown.pixel(preview->ViewRect(1).center()), DisplayOf(21));
    // The set item shows no frame.
    SelectSet();
    EXPECT_TRUE(preview->FrameRect(TrainDirection::Forward).isEmpty());
}

TEST_F(TrainPreviewTest, ClicksChooseCarsAndDoubleClicksChooseViews) {
    SelectSet();
    QWidget* canvas = preview->Canvas();
    // Reverse row: car 2 on the left, car 0 on the right.
    const struct {
        TrainDirection direction;
        int x;
        int car;
    } clicks[] = {
        {TrainDirection::Reverse, 2, 2}, {TrainDirection::Reverse, 40, 0}, {TrainDirection::Forward, 30, 1}};
    for (const auto& click : clicks) {
        QTest::mouseClick(canvas, Qt::LeftButton, {}, StripPoint(click.direction, click.x, 6));
        const auto target = view->SelectedTarget();
        ASSERT_TRUE(target && target->IsCar()) << click.x;
        EXPECT_EQ(target->car, click.car);
    }
    // The tree then has the focus, and with it its commands: the chosen car can be copied.
    EXPECT_TRUE(view->Tree()->HasWindowFocus());
    CommandState copyCar;
    ASSERT_TRUE(view->OnUpdateCommand(ID_VEHICLE_COPY_CAR, copyCar));
    EXPECT_TRUE(copyCar.enabled);
    // A double-click is press, release, double-click, release.
    const int images[] = {5, 6, 8, 7};  // views 1, 2, 3, 0
    for (int k = 0; k < 4; ++k) {
        SelectCar(2);
        const QPoint at = preview->ViewRect(k).center();
        QTest::mousePress(canvas, Qt::LeftButton, {}, at);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, at);
        QMouseEvent second(QEvent::MouseButtonDblClick, at, canvas->mapToGlobal(at), Qt::LeftButton,
                           Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &second);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
        const auto target = view->SelectedTarget();
        ASSERT_TRUE(target.has_value()) << k;
        EXPECT_EQ(target->image, images[k]);
        EXPECT_EQ(target->car, 2);
        EXPECT_TRUE(view->CarEditorArea()->isVisible());
        EXPECT_FALSE(preview->isVisible());
        EXPECT_EQ(app->GetHelpContext(), CFGSView::kHelpContext);
    }
}

TEST_F(TrainPreviewTest, NightStatesRecolourThePreviewAndLeaveTheDrawingAlone) {
    SelectSet();
    const std::vector<std::uint8_t> before = WriteFgs(doc->Model());
    doc->Model().SetModified(false);
    const QPoint car0 = StripPoint(TrainDirection::Forward, 4, 4);
    std::vector<QRgb> seen;
    for (const int state : {1, 2, 3, 0}) {
        QTest::mouseClick(preview->DayNightButton(state), Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_EQ(app->GetPalette().DayNightState(), state);
        EXPECT_TRUE(preview->DayNightButton(state)->isChecked());
        const QRgb shown = Grab().pixel(car0);
        EXPECT_EQ(shown, DisplayOf(10)) << state;
        seen.push_back(shown);
    }
    EXPECT_NE(seen[0], seen[3]);  // night is darker than day
    EXPECT_EQ(WriteFgs(doc->Model()), before);
    EXPECT_FALSE(doc->Model().IsModified());
    EXPECT_FALSE(doc->Model().CanUndo());
}

TEST_F(TrainPreviewTest, PixelEditRedrawsOnlyItsCarAndUndoRestoresIt) {
    SelectSet();
    // A second window of the document draws in car 1's view 1.
    app->VehicleTemplate()->CreateNewFrame(*doc);
    auto* editorWindow = dynamic_cast<CFGSView*>(doc->Views().at(1));
    editorWindow->resize(700, 400);
    QTreeWidgetItem* car = editorWindow->Tree()->CarItem(0, 1);
    editorWindow->Tree()->SelectItem(car->child(0));  // "Waagerecht vorwärts"
    QCoreApplication::processEvents();
    CCarEdi* editor = editorWindow->CarEditor();
    editor->SetZoom(4);
    app->SetMouseMode(kFreehand);
    app->SetColor1(33);
    const auto forwardIndex = [this](int x, int y) {
        const TrainRowImage& row = preview->Row(TrainDirection::Forward);
        return int(row.Indices()[std::size_t(y * row.Layout().width + x)]);
    };
    const std::vector<PaletteIndex> reverseBefore(preview->Row(TrainDirection::Reverse).Indices().begin(),
                                                  preview->Row(TrainDirection::Reverse).Indices().end());
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, editor->WindowPointOf({3, 5}));
    QCoreApplication::processEvents();
    EXPECT_EQ(preview->LastRedrawnCars(), std::vector<int>{1});
    EXPECT_EQ(forwardIndex(24 + 3, 5), 33);
    EXPECT_EQ(forwardIndex(24 + 2, 5), 11);
    EXPECT_EQ(Grab().pixel(StripPoint(TrainDirection::Forward, 27, 5)), DisplayOf(33));
    EXPECT_TRUE(std::equal(reverseBefore.begin(), reverseBefore.end(),
                           preview->Row(TrainDirection::Reverse).Indices().begin()));
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(forwardIndex(24 + 3, 5), 11);
    EXPECT_EQ(Grab().pixel(StripPoint(TrainDirection::Forward, 27, 5)), DisplayOf(11));
}

TEST_F(TrainPreviewTest, SavesTheTrainAsShown) {
    SelectSet();
    QString suggested;
    const QString path = QString::fromStdString(folder.File("zug.png"));
    doc->SetPngPrompts({[&](const QString&, const QString& name) {
                            suggested = name;
                            return path;
                        },
                        {}});
    QTest::mouseClick(preview->DayNightButton(2), Qt::LeftButton);
    const int zoom = preview->StripZoom();
    ASSERT_TRUE(Command(ID_VEHICLE_SAVE_TRAIN_PNG));
    EXPECT_EQ(suggested, QStringLiteral("Zug.png"));
    const QImage saved(path);
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(48 * zoom, (14 + train::kRowGap + 14) * zoom));
    const ColourTable night = DayNightColourTable(2);
    EXPECT_EQ(saved.pixel(0, 0), night[10].ToArgb());
    EXPECT_EQ(saved.pixel(30 * zoom, 0), night[11].ToArgb());
    EXPECT_EQ(saved.pixel(0, (14 + train::kRowGap) * zoom), night[22].ToArgb());
    EXPECT_EQ(qAlpha(saved.pixel(0, 14 * zoom)), 0);  // the gap is transparent
}

}  // namespace
}  // namespace zobl
