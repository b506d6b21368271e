#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <QUrl>

#include "DialogTestSupport.h"
#include "GuiTestSupport.h"
#include "core/clipboard/Clippy.h"
#include "core/scenery/GsFile.h"
#include "core/scenery/ScenerySheet.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/VehicleSheet.h"
#include "gui/drawing/PngFiles.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/scenery/GSDoc.h"
#include "gui/scenery/GSView.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "png/IndexedPng.h"

namespace zobl {
namespace {

using Sheet = std::vector<std::uint8_t>;
constexpr int kSceneryWidth = 1152;
constexpr int kSceneryHeight = 80;
// One set: cars of length 2 and 1, side by side 2 columns apart.
constexpr int kVehicleWidth = 16 + 2 + 8;
constexpr int kVehicleHeight = 292;
constexpr PaletteIndex kRed = 23;

QRgb Argb(PaletteIndex index, bool alpha) {
    const Rgb c = BaseColour(index);
    return qRgba(c.red, c.green, c.blue, alpha && index == TransparentIndex ? 0 : 255);
}

// A sheet as another program saves it: RGB, or RGBA with 56 fully transparent.
QImage ColourPicture(const Sheet& sheet, int width, int height, bool alpha) {
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, Argb(sheet[std::size_t(y) * std::size_t(width) + std::size_t(x)], alpha));
        }
    }
    return image;
}

void Paint(Sheet& sheet, int width, int x0, int y0, int x1, int y1, PaletteIndex value) {
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            sheet[std::size_t(y) * std::size_t(width) + std::size_t(x)] = value;
        }
    }
}

class PngCommands : public ::testing::Test, public test::AppFixture {
protected:
    void SetUp() override {
        StartApp({}, true);
        scenery = static_cast<CGSDoc*>(app->Documents().NewDocument(*app->SceneryTemplate()));
        sceneryView = dynamic_cast<CGSView*>(scenery->Views().front());
        vehicles = static_cast<CFGSDoc*>(app->Documents().NewDocument(*app->VehicleTemplate()));
        VehicleDocument& model = vehicles->Model();
        ASSERT_TRUE(model.AddVehicleSet("S", MouseMode::Freehand));
        ASSERT_TRUE(model.AddCar(0, 0, "W", "", "", 2, nullptr, MouseMode::Freehand));
        ASSERT_TRUE(model.AddCar(0, 1, "K", "", "", 1, nullptr, MouseMode::Freehand));
        model.Notify({VehicleHintCode::RebuildAll});
        model.ResetUndoHistory();
        model.SetModified(false);
        vehicleView = dynamic_cast<CFGSView*>(vehicles->Views().front());
        vehicleView->Tree()->SelectItem(vehicleView->Tree()->CarItem(0, 0)->child(0));  // view 1, 16 x 14
        editor = vehicleView->CarEditor();
    }

    QString WritePng(const QImage& image, const std::string& name) {
        const QString path = QString::fromStdString(folder.File(name));
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }
    QString WriteBytes(const std::vector<std::uint8_t>& bytes, const std::string& name) {
        const QString path = QString::fromStdString(folder.File(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        return path;
    }
    void ImportNext(const QString& path, bool nearest) {
        const PngPrompts prompts{{}, [path, nearest] { return PngImportChoice{path, nearest}; }};
        scenery->SetPngPrompts(prompts);
        vehicles->SetPngPrompts(prompts);
    }

    // What each document holds, in the layout of its sheet.
    Sheet SceneryPixels() const { return SceneryToSheet(scenery->Model()); }
    Sheet VehiclePixels() const { return VehicleToSheet(vehicles->Model()); }

    CGSDoc* scenery = nullptr;
    CGSView* sceneryView = nullptr;
    CFGSDoc* vehicles = nullptr;
    CFGSView* vehicleView = nullptr;
    CCarEdi* editor = nullptr;
};

TEST_F(PngCommands, ExportWritesTheSheetTheToolWritesUnderTheDocumentsName) {
    scenery->Model().SetPixel(2, 3, 4, 5, kRed, MouseMode::Freehand);
    vehicles->Model().SetPixel(0, 1, 0, 3, 3, kRed, false, MouseMode::Freehand);
    for (const bool isScenery : {true, false}) {
        SCOPED_TRACE(isScenery);
        Document& doc = isScenery ? static_cast<Document&>(*scenery) : *vehicles;
        const QString path = QString::fromStdString(folder.File(isScenery ? "grafik" : "wagen.png"));
        QString suggested;
        const PngPrompts prompts{[&](const QString&, const QString& name) {
                                     suggested = name;
                                     return path;
                                 },
                                 {}};
        isScenery ? scenery->SetPngPrompts(prompts) : vehicles->SetPngPrompts(prompts);
        ASSERT_TRUE(doc.OnCommand(ID_FILE_EXPORT_PNG));
        EXPECT_EQ(suggested, doc.Title() + ".png");
        // A name typed without extension gets ".png".
        QFile written(isScenery ? path + ".png" : path);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        // The bytes zobl-tool to-png writes, in a process without a screen.
        const std::string document = folder.File(isScenery ? "grafik.gs" : "wagen.fgs");
        isScenery ? SaveGsFile(document, scenery->Model()) : SaveFgsFile(document, vehicles->Model());
        const QString toolOutput = QString::fromStdString(folder.File("tool.png"));
        ASSERT_EQ(QProcess::execute(QStringLiteral(ZOBL_TOOL),
                                    {QStringLiteral("to-png"), QString::fromStdString(document), toolOutput}),
                  0);
        QFile tool(toolOutput);
        ASSERT_TRUE(tool.open(QIODevice::ReadOnly));
        EXPECT_TRUE(tool.readAll() == bytes);
    }
    EXPECT_TRUE(messages.entries.empty());

    // Vehicles without cars have no sheet: neither command is offered.
    auto* empty = static_cast<CFGSDoc*>(app->Documents().NewDocument(*app->VehicleTemplate()));
    for (const CommandId id : {ID_FILE_EXPORT_PNG, ID_FILE_IMPORT_PNG}) {
        CommandState state;
        ASSERT_TRUE(empty->OnUpdateCommand(id, state));
        EXPECT_FALSE(state.enabled);
        CommandState withCars;
        ASSERT_TRUE(vehicles->OnUpdateCommand(id, withCars));
        EXPECT_TRUE(withCars.enabled);
    }
}

TEST_F(PngCommands, AnEditedSheetComesBackAsOneUndoStepThatRedoRepeats) {
    // Special colours and a drawn pixel the picture leaves alone.
    scenery->Model().SetPixel(1, 3, 0, 0, HalfTransparentIndex, MouseMode::Freehand);
    scenery->Model().SetPixel(1, 3, 1, 0, BackgroundIndex, MouseMode::Freehand);
    vehicles->Model().SetPixel(0, 0, 1, 0, 0, BackgroundIndex, false, MouseMode::Freehand);
    scenery->Model().CloseUndoGroup();
    vehicles->Model().CloseUndoGroup();
    struct Case {
        const char* name;
        bool isScenery;
        bool alpha;
    };
    for (const Case& c : {Case{"rgb.png", true, false}, Case{"rgba.png", true, true},
                          Case{"car.png", false, false}, Case{"car-rgba.png", false, true}}) {
        SCOPED_TRACE(c.name);
        const int width = c.isScenery ? kSceneryWidth : kVehicleWidth;
        const int height = c.isScenery ? kSceneryHeight : kVehicleHeight;
        const Sheet before = c.isScenery ? SceneryPixels() : VehiclePixels();
        Sheet edited = before;
        if (c.isScenery) {
            Paint(edited, width, 10, 50, 20, 60, kRed);  // base row of symbol 0
            Paint(edited, width, 40, 40, 41, 41, kRed);  // row 2 of symbol 1, not yet present
        } else {
            Paint(edited, width, 2, 3, 5, 6, kRed);      // car 0, view 1
            Paint(edited, width, 18, 32, 19, 33, kRed);  // car 1, view 0
        }
        ImportNext(WritePng(ColourPicture(edited, width, height, c.alpha), c.name), false);
        Document& doc = c.isScenery ? static_cast<Document&>(*scenery) : *vehicles;
        const int steps = c.isScenery ? scenery->Model().UndoCount() : vehicles->Model().UndoCount();
        ASSERT_TRUE(doc.OnCommand(ID_FILE_IMPORT_PNG));
        EXPECT_TRUE(messages.entries.empty());
        const auto pixels = [&] { return c.isScenery ? SceneryPixels() : VehiclePixels(); };
        EXPECT_EQ(pixels(), edited);
        EXPECT_TRUE(doc.IsModified());
        if (c.isScenery) {
            EXPECT_TRUE(scenery->Model().IsRowPresent(1, 2));
            EXPECT_FALSE(scenery->Model().IsRowPresent(0, 2));  // its default picture, untouched
        }
        EXPECT_EQ(c.isScenery ? scenery->Model().UndoCount() : vehicles->Model().UndoCount(), steps + 1);

        ASSERT_TRUE(doc.OnCommand(ID_EDIT_UNDO));
        EXPECT_EQ(pixels(), before);
        if (c.isScenery) {
            EXPECT_FALSE(scenery->Model().IsRowPresent(1, 2));
        }
        ASSERT_TRUE(doc.OnCommand(ID_EDIT_REDO));
        EXPECT_EQ(pixels(), edited);
        ASSERT_TRUE(doc.OnCommand(ID_EDIT_UNDO));
    }
    EXPECT_TRUE(infoBoxes.isEmpty());

    // Drawing in row 1 of symbol 6 without row 2 below it: the pixels come in, the row cannot,
    // and the author is told.
    Sheet rowOne = SceneryPixels();
    Paint(rowOne, kSceneryWidth, 5 * 32 + 3, 20, 5 * 32 + 4, 21, kRed);
    ImportNext(WritePng(ColourPicture(rowOne, kSceneryWidth, kSceneryHeight, false), "zeile.png"), false);
    ASSERT_TRUE(scenery->OnCommand(ID_FILE_IMPORT_PNG));
    EXPECT_EQ(SceneryPixels(), rowOne);
    EXPECT_FALSE(scenery->Model().IsRowPresent(5, 1));
    ASSERT_EQ(infoBoxes.size(), 1);
    EXPECT_TRUE(infoBoxes[0].contains(QStringLiteral("zeile.png: In diesen Teilsymbolen")))
        << infoBoxes[0].toStdString();
    EXPECT_TRUE(infoBoxes[0].endsWith(QStringLiteral("Symbol 06, Zeile 1"))) << infoBoxes[0].toStdString();
}

TEST_F(PngCommands, RefusedSheetsSayWhyAndChangeNothing) {
    Sheet vehicleSheet = VehiclePixels();
    QImage oneOff = ColourPicture(vehicleSheet, kVehicleWidth, kVehicleHeight, false);
    oneOff.setPixel(5, 3, qRgb(1, 2, 3));
    Sheet sceneryNight = SceneryPixels();
    struct Case {
        const char* name;
        bool isScenery;
        QString path;
        int error;
        QString argumentHas;
    };
    const Case cases[] = {
        {"wrong size", false, WritePng(ColourPicture(Sheet(50 * 292, 5), 50, 292, false), "breit.png"), 142,
         QStringLiteral("ist 50 x 292 Pixel groß, die Fahrzeugsätze und Fahrzeuge dieses Dokuments brauchen "
                        "26 x 292 Pixel")},
        {"scenery size", true, WritePng(ColourPicture(Sheet(8 * 8, 5), 8, 8, false), "klein.png"), 142,
         QStringLiteral("ist 8 x 8 Pixel groß, eine Grafik hat 1152 x 80 Pixel")},
        {"colour without palette colour", false, WritePng(oneOff, "fremd.png"), 141,
         QStringLiteral("Das Bild fremd.png enthält Pixel ohne Palettenfarbe: 1, das erste bei 5,3.")},
        {"night picture", true,
         WriteBytes(EncodeIndexedPng(kSceneryWidth, kSceneryHeight, sceneryNight, 2), "nacht.png"), 143,
         QStringLiteral("nacht.png")},
        {"no PNG", true, WriteBytes({'G', 'I', 'F', '8', '9', 'a', 0, 0}, "falsch.png"), 2,
         QStringLiteral("falsch.png")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.entries.clear();
        const Sheet before = c.isScenery ? SceneryPixels() : VehiclePixels();
        Document& doc = c.isScenery ? static_cast<Document&>(*scenery) : *vehicles;
        ImportNext(c.path, false);
        ASSERT_TRUE(doc.OnCommand(ID_FILE_IMPORT_PNG));
        ASSERT_EQ(messages.Numbers(), std::vector<int>{c.error});
        EXPECT_TRUE(messages.entries[0].argument.contains(c.argumentHas))
            << messages.entries[0].argument.toStdString();
        EXPECT_EQ(c.isScenery ? SceneryPixels() : VehiclePixels(), before);
        EXPECT_FALSE(doc.IsModified());
        EXPECT_EQ(c.isScenery ? scenery->Model().UndoCount() : vehicles->Model().UndoCount(), 0);
    }

    // With the box ticked the colour takes the nearest ordinary colour, and the status line says so.
    ASSERT_TRUE(IsOrdinaryIndex(kRed));
    const Rgb red = BaseColour(kRed);
    oneOff.setPixel(5, 3, qRgb(red.red + 1, red.green, red.blue));
    messages.entries.clear();
    ImportNext(WritePng(oneOff, "fremd.png"), true);
    ASSERT_TRUE(vehicles->OnCommand(ID_FILE_IMPORT_PNG));
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(vehicles->Model().GetPixel(0, 0, 1, 5, 3), kRed);
    EXPECT_EQ(app->MainFrame()->MessageText(),
              QStringLiteral("fremd.png: 1 Pixel auf die nächste gewöhnliche Farbe abgebildet"));
}

TEST_F(PngCommands, TheImportDialogWantsAnExistingFile) {
    Sheet edited = SceneryPixels();
    Paint(edited, kSceneryWidth, 0, 48, 3, 50, kRed);
    const QString path = WritePng(ColourPicture(edited, kSceneryWidth, kSceneryHeight, false), "bogen.png");
    const QString missing = QString::fromStdString(folder.File("fehlt.png"));
    test::OnModal<CPngImportDlg>([&](CPngImportDlg& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("file"))->setText(missing);
        dialog.findChild<QPushButton*>(QStringLiteral("ok1"))->click();
        // Error 1 and the dialog stays; then a file that is there.
        EXPECT_TRUE(dialog.isVisible());
        dialog.findChild<QLineEdit*>(QStringLiteral("file"))->setText(path);
        dialog.findChild<QPushButton*>(QStringLiteral("ok1"))->click();
    });
    ASSERT_TRUE(scenery->OnCommand(ID_FILE_IMPORT_PNG));
    ASSERT_EQ(messages.Numbers(), std::vector<int>{1});
    EXPECT_EQ(messages.entries[0].argument, missing);
    EXPECT_EQ(SceneryPixels(), edited);
}

// PNG files from a file manager, delivered as Qt delivers a drag: enter, move, drop.
class PngDrops : public PngCommands {
protected:
    static void Drop(QWidget* window, QPoint at, const QString& file) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &move);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &drop);
    }
    // width x height pixels of value, one pixel of which (1, 0) transparent in an RGBA file.
    QString Picture(int width, int height, PaletteIndex value, const std::string& name) {
        Sheet pixels(std::size_t(width) * std::size_t(height), value);
        pixels[1] = TransparentIndex;
        return WritePng(ColourPicture(pixels, width, height, true), name);
    }
    PaletteIndex Scenery(int x, int y) const {
        return scenery->Model().GetPixel(x / 32, y / 16, x % 32, y % 16);
    }
    PaletteIndex Car(int x, int y) const { return vehicles->Model().GetPixel(0, 0, 1, x, y); }
};

TEST_F(PngDrops, APictureLandsAtThePointedPixelOrInTheMarkAsOneUndoStep) {
    // At the pointed pixel at its own size; transparency kept; one step.
    Drop(sceneryView->viewport(), sceneryView->WindowPointOf({1, 3, 8, 2}), Picture(3, 2, kRed, "a.png"));
    EXPECT_EQ(Scenery(40, 50), kRed);
    EXPECT_EQ(Scenery(41, 50), TransparentIndex);
    EXPECT_EQ(Scenery(42, 51), kRed);
    EXPECT_EQ(scenery->Model().UndoCount(), 1);
    EXPECT_EQ(sceneryView->Marked().Rect(), (PixelRect{40, 50, 42, 51}));

    // Into the mark, stretched to it. (Without "every change its own step", changes in one mouse
    // mode join one step, as pastes do: a new mode starts the next.)
    scenery->Model().CloseUndoGroup();
    sceneryView->SetMarkedArea(MarkedArea::Between({100, 48}, {105, 51}));
    Drop(sceneryView->viewport(), sceneryView->WindowPointOf({0, 3, 0, 0}), Picture(3, 2, 44, "b.png"));
    EXPECT_EQ(Scenery(100, 48), 44);
    EXPECT_EQ(Scenery(105, 51), 44);
    EXPECT_EQ(scenery->Model().UndoCount(), 2);
    ASSERT_TRUE(scenery->OnCommand(ID_EDIT_UNDO));
    EXPECT_NE(Scenery(100, 48), 44);
    EXPECT_EQ(Scenery(40, 50), kRed);

    // In the car editor at the edge: the part inside lands, nothing wraps round.
    Drop(editor->viewport(), editor->WindowPointOf({14, 12}), Picture(4, 4, kRed, "c.png"));
    EXPECT_EQ(Car(14, 12), kRed);
    EXPECT_EQ(Car(15, 13), kRed);
    EXPECT_EQ(Car(15, 12), TransparentIndex);  // the picture's transparent pixel
    EXPECT_EQ(Car(0, 0), TransparentIndex);
    EXPECT_EQ(vehicles->Model().UndoCount(), 1);
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(PngDrops, DamagedPicturesSaySoAndPicturesBesideTheWindowsOpenNothing) {
    const Sheet before = SceneryPixels();
    const QString damaged =
        WriteBytes({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H'}, "kaputt.png");
    Drop(sceneryView->viewport(), sceneryView->WindowPointOf({1, 3, 8, 2}), damaged);
    EXPECT_EQ(messages.Numbers(), std::vector<int>{2});
    EXPECT_EQ(SceneryPixels(), before);
    EXPECT_EQ(scenery->Model().UndoCount(), 0);

    // Dropped on the workspace: a picture is no document.
    messages.entries.clear();
    const std::size_t documents = app->Documents().DocumentCount();
    Drop(app->MainFrame(), QPoint(5, 5), Picture(3, 2, kRed, "bild.png"));
    EXPECT_EQ(messages.Numbers(), std::vector<int>{144});
    EXPECT_EQ(app->Documents().DocumentCount(), documents);
}

}  // namespace
}  // namespace zobl
