#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QtEndian>

#include "GuiTestSupport.h"
#include "core/clipboard/Clippy.h"
#include "core/scenery/GsFile.h"
#include "gui/drawing/PixelEditView.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/scenery/GSDoc.h"
#include "gui/scenery/GSView.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"

namespace zobl {
namespace {

// A scenery document and a vehicle document (one car of length 2, view 1 shown) side by side.
class ClipboardCommands : public ::testing::Test, public test::AppFixture {
protected:
    void SetUp() override {
        StartApp({}, true);
        scenery = static_cast<CGSDoc*>(app->Documents().NewDocument(*app->SceneryTemplate()));
        sceneryView = dynamic_cast<CGSView*>(scenery->Views().front());
        vehicles = static_cast<CFGSDoc*>(app->Documents().NewDocument(*app->VehicleTemplate()));
        VehicleDocument& model = vehicles->Model();
        ASSERT_TRUE(model.AddVehicleSet("S", MouseMode::Freehand));
        ASSERT_TRUE(model.AddCar(0, 0, "W", "", "", 2, nullptr, MouseMode::Freehand));
        model.Notify({VehicleHintCode::RebuildAll});
        vehicleView = dynamic_cast<CFGSView*>(vehicles->Views().front());
        QTreeWidgetItem* car = vehicleView->Tree()->CarItem(0, 0);
        vehicleView->Tree()->SelectItem(car->child(0));  // view 1, 16 x 14
        editor = vehicleView->CarEditor();
    }
    PaletteIndex Scenery(int x, int y) const {
        const PixelAddress a = PixelAddress::FromAbsolute({x, y});
        return scenery->Model().GetPixel(a.symbol, a.row, a.x, a.y);
    }
    void SetScenery(int x, int y, PaletteIndex v) {
        scenery->Model().PixelStoreForLoading()[scenery::StoreOffset(x, y)] = v;
    }
    PaletteIndex Car(int x, int y) const { return vehicles->Model().GetPixel(0, 0, 1, x, y); }
    bool Run(View& view, CommandId id) { return view.OnCommand(id); }

    CGSDoc* scenery = nullptr;
    CGSView* sceneryView = nullptr;
    CFGSDoc* vehicles = nullptr;
    CFGSView* vehicleView = nullptr;
    CCarEdi* editor = nullptr;
};

TEST_F(ClipboardCommands, CopiesKeepEveryIndexAndPasteIntoBothEditors) {
    // Base row 3 of symbol 0: Y 48..63.
    SetScenery(0, 48, TransparentIndex);
    SetScenery(1, 48, HalfTransparentIndex);
    SetScenery(0, 49, BackgroundIndex);
    SetScenery(1, 49, 12);
    sceneryView->SetMarkedArea(MarkedArea::Between({0, 48}, {1, 49}));
    ASSERT_TRUE(Run(*sceneryView, ID_EDIT_COPY));
    EXPECT_EQ(app->Clipboard().Width(), 2);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(2, 2));

    // Same size in the scenery view: pixel for pixel, one undo step.
    sceneryView->SetMarkedArea(MarkedArea::Between({40, 50}, {41, 51}));
    const int steps = scenery->Model().UndoCount();
    ASSERT_TRUE(Run(*sceneryView, ID_EDIT_PASTE));
    EXPECT_EQ(Scenery(40, 50), TransparentIndex);
    EXPECT_EQ(Scenery(41, 50), HalfTransparentIndex);
    EXPECT_EQ(Scenery(40, 51), BackgroundIndex);
    EXPECT_EQ(Scenery(41, 51), 12);
    EXPECT_EQ(scenery->Model().UndoCount(), steps + 1);

    // Into a 4 x 4 mark of the car editor: scaled two to one.
    editor->SetMarkRect(PixelRect{4, 2, 7, 5});
    ASSERT_TRUE(vehicleView->OnCommand(ID_EDIT_PASTE_ACTIVE));
    EXPECT_EQ(Car(4, 2), TransparentIndex);
    EXPECT_EQ(Car(7, 2), HalfTransparentIndex);
    EXPECT_EQ(Car(5, 5), BackgroundIndex);
    EXPECT_EQ(Car(7, 5), 12);

    // And back: a car view's mark pasted into rows that are absent leaves those pixels alone.
    editor->SetMarkRect(PixelRect{4, 2, 7, 5});
    ASSERT_TRUE(vehicleView->OnCommand(ID_EDIT_COPY_ACTIVE));
    const PaletteIndex hidden = Scenery(100, 30);  // row 1 of symbol 3: absent
    sceneryView->SetMarkedArea(MarkedArea::Between({100, 28}, {103, 33}));
    ASSERT_TRUE(Run(*sceneryView, ID_EDIT_PASTE));
    EXPECT_EQ(Scenery(100, 30), hidden);
}

TEST_F(ClipboardCommands, SystemPicturesBecomeOrdinaryColoursOnly) {
    // Every pixel exactly a special colour as the screen shows it: none may come back special.
    const Palette& palette = app->GetPalette();
    QImage picture(3, 1, QImage::Format_RGB32);
    int x = 0;
    for (const PaletteIndex special : {TransparentIndex, HalfTransparentIndex, BackgroundIndex}) {
        const Rgb c = palette.CurrentColourTable()[special].ToRgb();
        picture.setPixel(x++, 0, qRgb(c.red, c.green, c.blue));
    }
    QGuiApplication::clipboard()->setImage(picture);
    editor->SetMarkRect(PixelRect{0, 0, 2, 0});
    CommandState state;
    ASSERT_TRUE(vehicleView->OnUpdateCommand(ID_EDIT_PASTE_SYSTEM, state));
    EXPECT_TRUE(state.enabled);
    ASSERT_TRUE(vehicleView->OnCommand(ID_EDIT_PASTE_SYSTEM));
    for (int i = 0; i < 3; ++i) {
        const PaletteIndex v = Car(i, 0);
        EXPECT_NE(v, TransparentIndex);
        EXPECT_NE(v, HalfTransparentIndex);
        EXPECT_NE(v, BackgroundIndex);
    }
    // The internal clipboard now holds the picture: 3 x 1.
    EXPECT_EQ(app->Clipboard().Width(), 3);
}

// A picture as a platform's clipboard hands it over: a file's bytes, read by Qt's image reader
// when an image is asked for.
class EncodedPicture : public QMimeData {
public:
    explicit EncodedPicture(QByteArray bytes) : bytes_(std::move(bytes)) {}
    QStringList formats() const override { return {QStringLiteral("application/x-qt-image")}; }
    bool hasFormat(const QString& format) const override { return formats().contains(format); }

protected:
    QVariant retrieveData(const QString&, QMetaType) const override { return QImage::fromData(bytes_); }

private:
    QByteArray bytes_;
};

TEST_F(ClipboardCommands, LargeSystemPicturesArePastedAndUnreadableOnesSaySo) {
    // 960,000 x 36 pixels are 131 MB read, above Qt's own limit of 128 (low, so that the test
    // is quick); the editor's clipboard takes the first 8192 columns. The same header claiming
    // 10000 x 10000 (400 MB) stays too large.
    QImage large(960'000, 36, QImage::Format_RGB32);
    large.fill(Qt::red);
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && large.save(&buffer, "BMP"));
    large = QImage();
    QByteArray tooLarge = bitmap.left(54);
    qToLittleEndian<qint32>(10'000, tooLarge.data() + 18);
    qToLittleEndian<qint32>(10'000, tooLarge.data() + 22);
    const struct {
        const char* name;
        QByteArray bytes;
        int width;  // of the editor's clipboard afterwards
        std::vector<int> errors;
    } cases[] = {
        {"too large", tooLarge, 1, {130}},
        {"damaged", QByteArray("BM kaputt"), 1, {130}},
        {"large", bitmap, 8192, {}},
    };
    editor->SetMarkRect(PixelRect{0, 0, 1, 1});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages.entries.clear();
        app->Clipboard().ClearArea();
        app->Clipboard().Set(0, 0, 3);
        app->Clipboard().SetSize(1, 1);
        QGuiApplication::clipboard()->setMimeData(new EncodedPicture(c.bytes));
        ASSERT_TRUE(vehicleView->OnCommand(ID_EDIT_PASTE_SYSTEM));
        EXPECT_EQ(app->Clipboard().Width(), c.width);
        EXPECT_EQ(messages.Numbers(), c.errors);
        EXPECT_EQ(Car(0, 0) != TransparentIndex, c.errors.empty());
    }
}

TEST_F(ClipboardCommands, NothingToPasteSaysSo) {
    app->Clipboard().ClearArea();
    sceneryView->SetMarkedArea(MarkedArea::Between({0, 48}, {3, 50}));
    CommandState paste;
    ASSERT_TRUE(sceneryView->OnUpdateCommand(ID_EDIT_PASTE, paste));
    EXPECT_FALSE(paste.enabled);
    ASSERT_TRUE(Run(*sceneryView, ID_EDIT_PASTE_ACTIVE));
    EXPECT_EQ(messages.Numbers(), std::vector<int>{114});
    // Without a mark nothing is offered.
    sceneryView->ClearMarkedArea();
    CommandState copy;
    ASSERT_TRUE(sceneryView->OnUpdateCommand(ID_EDIT_COPY, copy));
    EXPECT_FALSE(copy.enabled);
}

// Drops as another window or another running editor delivers them: the drag data built as the
// source builds it, the events sent to the target's window.
class Drops : public ClipboardCommands {
protected:
    static void DragOver(QWidget* window, QPoint at, QMimeData* mime) {
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &move);
    }
    static void Drop(QWidget* window, QPoint at, QMimeData* mime) {
        DragOver(window, at, mime);
        QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &drop);
        delete mime;
    }
    static QMimeData* Area(PixelEditView::DragKind kind, int width, int height, PaletteIndex value) {
        CClippy area;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                area.Set(x, y, value);
            }
        }
        area.SetSize(width, height);
        return PixelEditView::MakeDragData(std::uint8_t(kind), area);
    }
};

TEST_F(Drops, PixelsAndSymbolsLandWhereTheyArePointedTo) {
    // Pixels at the pointed pixel, special colours and all; the mark is the dropped area.
    Drop(sceneryView->viewport(), sceneryView->WindowPointOf({1, 3, 8, 2}),
         Area(PixelEditView::DragKind::Pixels, 2, 2, 56));
    EXPECT_EQ(Scenery(40, 50), TransparentIndex);
    EXPECT_EQ(Scenery(41, 51), TransparentIndex);
    EXPECT_EQ(sceneryView->Marked().Rect(), (PixelRect{40, 50, 41, 51}));

    // A symbol snaps to the pointed cell, and its missing row comes into being.
    ASSERT_FALSE(scenery->Model().IsRowPresent(5, 2));
    Drop(sceneryView->viewport(), sceneryView->WindowPointOf({5, 2, 20, 9}),
         Area(PixelEditView::DragKind::Symbol, 32, 16, 7));
    EXPECT_TRUE(scenery->Model().IsRowPresent(5, 2));
    EXPECT_EQ(Scenery(5 * 32, 32), 7);
    EXPECT_EQ(Scenery(5 * 32 + 31, 47), 7);
    EXPECT_TRUE(sceneryView->Marked().IsEmpty());

    // Row 4 of a symbol with row 0 breaks the rules: it stays absent and nothing lands there.
    ASSERT_EQ(scenery->Model().AddRow(6, 2, 0), 0);
    ASSERT_EQ(scenery->Model().AddRow(6, 1, 0), 0);
    ASSERT_EQ(scenery->Model().AddRow(6, 0, 0), 0);
    const PaletteIndex before = Scenery(6 * 32, 64);
    Drop(sceneryView->viewport(), sceneryView->WindowPointOf({6, 4, 3, 3}),
         Area(PixelEditView::DragKind::Symbol, 32, 16, 9));
    EXPECT_FALSE(scenery->Model().IsRowPresent(6, 4));
    EXPECT_EQ(Scenery(6 * 32, 64), before);
    EXPECT_TRUE(messages.entries.empty());

    // Into the car editor, at the pointed pixel of the shown view.
    Drop(editor->viewport(), editor->WindowPointOf({3, 4}), Area(PixelEditView::DragKind::Pixels, 3, 2, 44));
    EXPECT_EQ(Car(3, 4), 44);
    EXPECT_EQ(Car(5, 5), 44);
    EXPECT_EQ(Car(6, 4), TransparentIndex);
}

TEST_F(Drops, AtTheEdgeTheCarEditorTakesThePartInsideTheSceneryViewNothing) {
    // 3 x 2 pixels pointed to at (14, 13) of the 16 x 14 car view: (14, 13) and (15, 13) land,
    // shown and marked as the part inside.
    editor->SetMarkRect(PixelRect{0, 0, 1, 1});
    QMimeData* mime = Area(PixelEditView::DragKind::Pixels, 3, 2, 44);
    DragOver(editor->viewport(), editor->WindowPointOf({14, 13}), mime);
    EXPECT_TRUE(editor->PreviewShown());
    Drop(editor->viewport(), editor->WindowPointOf({14, 13}), mime);
    EXPECT_EQ(Car(14, 13), 44);
    EXPECT_EQ(Car(15, 13), 44);
    EXPECT_EQ(Car(13, 13), TransparentIndex);
    EXPECT_EQ(Car(0, 0), TransparentIndex);  // nothing wrapped round
    ASSERT_TRUE(editor->MarkRect().has_value());
    EXPECT_EQ(*editor->MarkRect(), (PixelRect{14, 13, 15, 13}));

    // The scenery view takes an area only whole: at its right edge nothing lands and the mark goes.
    sceneryView->SetMarkedArea(MarkedArea::Between({0, 48}, {1, 49}));
    const PaletteIndex before = Scenery(1151, 48);
    Drop(sceneryView->viewport(), sceneryView->WindowPointOf({35, 3, 31, 0}),
         Area(PixelEditView::DragKind::Pixels, 3, 2, 44));
    EXPECT_EQ(Scenery(1151, 48), before);
    EXPECT_TRUE(sceneryView->Marked().IsEmpty());
}

TEST_F(Drops, ForeignOrDamagedDropsChangeNothing) {
    const PaletteIndex before = Scenery(40, 50);
    auto* text = new QMimeData;
    text->setText(QStringLiteral("file:///tmp/bild.png"));
    Drop(sceneryView->viewport(), sceneryView->WindowPointOf({1, 3, 8, 2}), text);
    EXPECT_EQ(Scenery(40, 50), before);

    // A file that claims more pixels than it holds: no paste, the clipboard as it was.
    app->Clipboard().ClearArea();
    app->Clipboard().Set(0, 0, 3);
    app->Clipboard().SetSize(1, 1);
    auto* damaged = new QMimeData;
    QByteArray bytes("\x00\x04\x00\x00\x00\x04\x00\x00\x00\x01\x02", 11);
    damaged->setData(QLatin1String(PixelEditView::kDragMimeType), bytes);
    Drop(sceneryView->viewport(), sceneryView->WindowPointOf({1, 3, 8, 2}), damaged);
    EXPECT_EQ(Scenery(40, 50), before);
    EXPECT_EQ(app->Clipboard().Width(), 1);
    EXPECT_EQ(app->Clipboard().Get(0, 0), 3);
}

}  // namespace
}  // namespace zobl
