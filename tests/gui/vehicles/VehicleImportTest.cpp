#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "core/drawing/MouseMode.h"
#include "core/simimport/SimTestFiles.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/vehicles/DlgChooseImportCategories.h"
#include "gui/vehicles/DlgNewGrp.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "gui/vehicles/ImportPreview.h"
#include "gui/vehicles/ImportVehicle.h"
#include "gui/widgets/GeneralDialogs.h"

namespace zobl {
namespace {

namespace fs = std::filesystem;
constexpr MouseMode kFreehand = MouseMode::Freehand;

// A vehicle document in a running application and a synthetic simulator of 24 vehicles (groups
// 0, 1, 2 in categories 0x1, 0x2, 0x4). The dialogs of the import are handed to the test's
// actions instead of being run; the "please wait" dialog runs for real unless a test says so.
class VehicleImport : public ::testing::Test, public test::AppFixture {
protected:
    void SetUp() override {
        // No real Wine prefix may take part.
        ::setenv("WINEPREFIX", folder.File("no-prefix").c_str(), 1);
        fs::create_directories(Sim());
        test::WriteSyntheticSimulator(Sim(), 24);
        StartApp({}, true);
        app->SimReader().SetSimulatorFolder(Sim() + "/");
    }
    std::string Sim() const { return folder.File("sim"); }

    // sets[s] = the lengths of the cars of set s.
    CFGSDoc* NewDocumentWith(const std::vector<std::vector<int>>& sets) {
        doc = static_cast<CFGSDoc*>(app->Documents().NewDocument(*app->VehicleTemplate()));
        VehicleDocument& model = doc->Model();
        for (std::size_t s = 0; s < sets.size(); ++s) {
            EXPECT_TRUE(model.AddVehicleSet("Satz" + std::to_string(s), kFreehand));
            for (std::size_t c = 0; c < sets[s].size(); ++c) {
                EXPECT_TRUE(model.AddCar(int(s), int(c), "Wagen" + std::to_string(c), "", "", sets[s][c],
                                         nullptr, kFreehand));
            }
        }
        model.ResetUndoHistory();
        model.Notify({VehicleHintCode::RebuildAll});
        doc->SetDialogRunner([this](QDialog& dialog) { return RunDialog(dialog); });
        return doc;
    }
    CFGSView* View() const { return dynamic_cast<CFGSView*>(doc->Views().at(0)); }

    int RunDialog(QDialog& dialog) {
        if (auto* categories = qobject_cast<CDlgChooseImportCategories*>(&dialog)) {
            if (onCategories) {
                return onCategories(*categories);
            }
            categories->Box(1067)->setChecked(true);
            categories->Box(1068)->setChecked(true);
            categories->Box(1069)->setChecked(true);
            return ClickButton(dialog, "ok1");
        }
        if (auto* info = qobject_cast<CInfoDlg*>(&dialog)) {
            const int result = onInfo ? onInfo(*info) : info->exec();
            infoText = info->Text();
            return result;
        }
        if (auto* import = qobject_cast<CImportVehicle*>(&dialog)) {
            ++importDialogs;
            return onImport ? onImport(*import) : QDialog::Rejected;
        }
        if (onOther) {
            return onOther(dialog);
        }
        return QDialog::Rejected;
    }
    static int ClickButton(QDialog& dialog, const char* name) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
        return dialog.result();
    }
    // Runs the import command; act works in the import dialog.
    void RunImport(std::function<void(CImportVehicle&)> act) {
        onImport = [act](CImportVehicle& dialog) {
            dialog.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
            act(dialog);
            dialog.hide();
            return int(QDialog::Rejected);
        };
        ASSERT_TRUE(Command(ID_VEHICLE_IMPORT));
    }
    static QStringList Texts(const QListWidget* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) {
            texts << list->item(i)->text();
        }
        return texts;
    }
    static int SelectedRow(const QListWidget* list) {
        const auto items = list->selectedItems();
        return items.isEmpty() ? -1 : list->row(items.front());
    }
    static void Select(QListWidget* list, int row) {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

    CFGSDoc* doc = nullptr;
    std::function<int(CDlgChooseImportCategories&)> onCategories;
    std::function<int(CInfoDlg&)> onInfo;
    std::function<int(CImportVehicle&)> onImport;
    std::function<int(QDialog&)> onOther;
    QString infoText;
    int importDialogs = 0;

private:
    test::SavedVariable savedPrefix_{"WINEPREFIX"};
};

TEST_F(VehicleImport, CategoriesChooseWhatIsListedAndNoneIsRefused) {
    NewDocumentWith({{}});
    app->MainFrame()->Router().UpdateAll();
    ASSERT_TRUE(Action(ID_VEHICLE_IMPORT)->isEnabled());
    unsigned chosen = 0;
    onCategories = [&](CDlgChooseImportCategories& dialog) {
        EXPECT_EQ(app->GetHelpContext(), 50110);
        EXPECT_EQ(dialog.Box(1084)->text(), QStringLiteral("Kategorie 14"));
        // Nothing checked: error 113, and the dialog stays open.
        EXPECT_EQ(ClickButton(dialog, "ok1"), QDialog::Rejected);
        EXPECT_EQ(messages.Numbers(), std::vector<int>{113});
        EXPECT_TRUE(dialog.isVisible() || dialog.result() != QDialog::Accepted);
        dialog.Box(1068)->setChecked(true);  // 0x0002
        dialog.Box(1083)->setChecked(true);  // 0x2000
        const int result = ClickButton(dialog, "ok1");
        chosen = dialog.Flags();
        return result;
    };
    QStringList listed;
    RunImport([&](CImportVehicle& dialog) {
        EXPECT_EQ(app->GetHelpContext(), CImportVehicle::kHelpContext);
        listed = Texts(dialog.VehicleList());
    });
    EXPECT_EQ(chosen, 0x2002u);
    // Group 1 alone is in category 0x0002; sorted by text, the named first vehicle comes last.
    EXPECT_EQ(listed, QStringList({"Gruppe 1 : 1", "Gruppe 1 : 2", "Gruppe 1 : 3", "Gruppe 1 : 4",
                                   "Gruppe 1 : 5", "Gruppe 1 : 6", "Gruppe 1 : 7", "Gruppe 1 : Wagen 8"}));
    // The progress field shows the vehicle read last.
    EXPECT_EQ(infoText, QStringLiteral("Gruppe 1 : 7"));

    // Cancel in the category dialog: nothing more happens.
    onCategories = [](CDlgChooseImportCategories& dialog) { return ClickButton(dialog, "cancel2"); };
    importDialogs = 0;
    ASSERT_TRUE(Command(ID_VEHICLE_IMPORT));
    EXPECT_EQ(importDialogs, 0);
}

TEST_F(VehicleImport, RefusedImportsChangeNothing) {
    struct Case {
        const char* name;
        std::vector<std::vector<int>> sets;
        int set;      // chosen in the set list, -1 none
        int vehicle;  // row of the vehicle list, -1 none
        int error;
    };
    // Rows: 0 "Gruppe 0 : 1" (16 pixels), 1 "Gruppe 0 : 2" (24 pixels), 7 "Gruppe 0 : Wagen 0" (8 pixels).
    const Case cases[] = {
        {"no vehicle", {{}}, 0, -1, 119},
        {"no set", {{}}, -1, 0, 109},
        {"full set", {{1, 1, 1, 1, 1, 1, 1, 1}}, 0, 7, 111},
        {"too long", {{6, 6, 6, 6, 2, 2, 2}}, 0, 1, 112},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewDocumentWith(c.sets);
        messages.entries.clear();
        const auto before = doc->Model().CountCars(0);
        const bool modified = doc->IsModified();
        RunImport([&](CImportVehicle& dialog) {
            dialog.SetList()->clearSelection();
            if (c.set >= 0) {
                Select(dialog.SetList(), c.set);
            }
            if (c.vehicle >= 0) {
                Select(dialog.VehicleList(), c.vehicle);
            } else {
                dialog.VehicleList()->clearSelection();
            }
            EXPECT_EQ(dialog.NothingSelected(), c.vehicle < 0);
            ClickButton(dialog, "import1");
            EXPECT_TRUE(dialog.isVisible() || dialog.result() != QDialog::Accepted);
        });
        EXPECT_EQ(messages.Numbers(), std::vector<int>{c.error});
        EXPECT_EQ(doc->Model().CountCars(0), before);
        EXPECT_EQ(doc->Model().UndoCount(), 0);
        EXPECT_EQ(doc->IsModified(), modified);
        doc->SetModifiedFlag(false);
        doc->OnCloseDocument();
    }
}

TEST_F(VehicleImport, AnImportIsOneUndoStepWithTheVehiclesPixelsAndFlags) {
    NewDocumentWith({{6, 6, 6, 6, 2, 2}, {}});
    View()->Tree()->SelectCar(1, 0);  // nothing there: the set of an empty set's item
    View()->Tree()->SelectItem(View()->Tree()->SetItem(1));
    int selectedAfter = -1;
    RunImport([&](CImportVehicle& dialog) {
        // The target set comes from the tree; the first vehicle is chosen and previewed.
        EXPECT_EQ(SelectedRow(dialog.SetList()), 1);
        EXPECT_EQ(SelectedRow(dialog.VehicleList()), 0);
        EXPECT_EQ(dialog.VehicleText(0), QStringLiteral("Wagen 1"));
        EXPECT_EQ(dialog.VehicleText(1), QStringLiteral("Aus der synthetischen Sammlung"));
        Select(dialog.SetList(), 0);
        ClickButton(dialog, "import1");  // 16 pixels: 30 units + 2 = 32, just fits
        selectedAfter = SelectedRow(dialog.VehicleList());
        EXPECT_EQ(dialog.VehicleText(0), QStringLiteral("Wagen 2"));
    });
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(selectedAfter, 1);
    const VehicleDocument& model = doc->Model();
    ASSERT_EQ(model.CountCars(0), 7);
    EXPECT_EQ(model.UndoCount(), 1);
    EXPECT_TRUE(doc->IsModified());
    const Car& car = model.CarAt(0, 6);
    EXPECT_EQ(car.length, 2);
    EXPECT_EQ(std::string(car.name.View()), "Wagen 1");
    EXPECT_EQ(car.carFlags, 0x0020u);  // file bit 0x0020
    // Vehicle 1 (group 0, second of its group): segment 0 shows side image 1 (body 23), segment
    // 1 side image 2 (body 36); roof 12 in rows 0-1, window 2 in rows 4-6, wheels 1 at x 2 and 5
    // of rows 12-13 with nothing (56) beside them. Top image 1 is body-coloured, 2 roof-coloured.
    struct Probe {
        int view, x, y, index;
    };
    const Probe probes[] = {
        {1, 0, 8, 23},  {1, 8, 8, 36}, {1, 3, 0, 12}, {1, 9, 5, 2},   {1, 2, 12, 1},
        {1, 3, 13, 56}, {2, 0, 8, 36}, {2, 8, 8, 23}, {2, 10, 13, 1}, {0, 4, 0, 23},
        {0, 4, 7, 12},  {3, 4, 0, 12}, {3, 4, 7, 23},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(testing::Message() << "view " << p.view << " at " << p.x << "," << p.y);
        EXPECT_EQ(model.GetPixel(0, 6, p.view, p.x, p.y), p.index);
    }
    // The window shows the new car.
    EXPECT_NE(View()->Tree()->CarItem(0, 6), nullptr);
    // One undo takes the whole car away.
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(doc->Model().CountCars(0), 6);
    EXPECT_EQ(View()->Tree()->CarItem(0, 6), nullptr);
}

TEST_F(VehicleImport, ImportsCarAfterCarUntilTheListEnds) {
    NewDocumentWith({{}});
    std::vector<int> errors;
    RunImport([&](CImportVehicle& dialog) {
        Select(dialog.SetList(), 0);
        Select(dialog.VehicleList(), dialog.VehicleList()->count() - 2);
        ClickButton(dialog, "import1");
        ClickButton(dialog, "import1");
        // Past the end: nothing is chosen any more.
        EXPECT_TRUE(dialog.NothingSelected());
        EXPECT_EQ(dialog.ShownVehicle(), nullptr);
        ClickButton(dialog, "import1");
        errors = messages.Numbers();
    });
    EXPECT_EQ(errors, std::vector<int>{119});
    ASSERT_EQ(doc->Model().CountCars(0), 2);
    // The last rows: "Gruppe 2 : 6" and "Gruppe 2 : 7" (a group after the first is listed by numbers).
    EXPECT_EQ(std::string(doc->Model().CarAt(0, 0).name.View()), "Wagen 22");
    EXPECT_EQ(std::string(doc->Model().CarAt(0, 1).name.View()), "Wagen 23");
    EXPECT_EQ(doc->Model().UndoCount(), 2);
}

TEST_F(VehicleImport, PreviewShowsBothSideViews) {
    NewDocumentWith({{}});
    QImage shown;
    RunImport([&](CImportVehicle& dialog) {
        ImportPreview* preview = dialog.Preview();
        EXPECT_FALSE(preview->isEnabled());
        shown = preview->grab().toImage();
    });
    const Palette& palette = app->GetPalette();
    // Vehicle 1 reversed on top, in order below.
    EXPECT_EQ(shown.pixelColor(1, 8), DisplayColour(palette, 36));
    EXPECT_EQ(shown.pixelColor(9, 8), DisplayColour(palette, 23));
    EXPECT_EQ(shown.pixelColor(1, ImportPreview::kSecondStripOffset + 8), DisplayColour(palette, 23));
    EXPECT_EQ(shown.pixelColor(9, ImportPreview::kSecondStripOffset + 8), DisplayColour(palette, 36));
}

TEST_F(VehicleImport, ListingThatEndsEarlyOpensNoDialog) {
    // A catalogue whose only group of the chosen categories has no vehicle.
    test::ZggGroup empty;
    empty.identifier = 3;
    empty.name = "Leer";
    fs::create_directories(folder.File("empty"));
    test::WriteFile(folder.File("empty/TRAK.ZGG"), test::BuildZgg({empty}));
    test::WriteFile(folder.File("empty/TRAK.FZG"), test::BuildFzg({}));
    struct Case {
        const char* name;
        bool cancel;
        const char* simulator;  // nullptr: the usual one
        std::vector<int> errors;
    };
    const Case cases[] = {
        {"cancelled", true, nullptr, {}},
        {"simulator not found", false, "nowhere", {121}},
        {"nothing listed", false, "empty", {123}},  // not an error of a file without its name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewDocumentWith({{}});
        messages.entries.clear();
        importDialogs = 0;
        app->SimReader().SetSimulatorFolder((c.simulator != nullptr ? folder.File(c.simulator) : Sim()) +
                                            "/");
        onInfo = [&](CInfoDlg& info) {
            if (c.cancel) {
                // Before the first step runs.
                QTimer::singleShot(0, &info, [&info] { ClickButton(info, "cancel2"); });
            }
            return info.exec();
        };
        ASSERT_TRUE(Command(ID_VEHICLE_IMPORT));
        EXPECT_EQ(importDialogs, 0);
        EXPECT_EQ(messages.Numbers(), c.errors);
        EXPECT_EQ(doc->Model().UndoCount(), 0);
        doc->OnCloseDocument();
    }
}

// A vehicle longer than a car can be is no file error: the preview and the import say what it is.
TEST_F(VehicleImport, AVehicleTooLongToImportIsNamedInThePreviewAndOnImport) {
    test::ZggGroup group;
    group.identifier = 3;
    group.name = "Lang";
    group.keys = {16};
    group.strings = {{"Kurz"}, {"Zug"}};
    group.vehicles = {{0, 0, {0}}, {0, 1, {1}}};
    test::FzgBlock block;
    block.sideImages = {test::SideImage(10)};
    block.topImages = {test::TopImage(10)};
    test::FzgComposition shortOne;
    test::FzgComposition longOne;
    shortOne.lists = {test::Bytes(1), test::Bytes(1), test::Bytes(1), test::Bytes(1)};
    longOne.lists = {test::Bytes(33), test::Bytes(33), test::Bytes(33), test::Bytes(33)};
    block.compositions = {shortOne, longOne};
    fs::create_directories(folder.File("long"));
    test::WriteFile(folder.File("long/TRAK.ZGG"), test::BuildZgg({group}));
    test::WriteFile(folder.File("long/TRAK.FZG"), test::BuildFzg({block}));
    app->SimReader().SetSimulatorFolder(folder.File("long") + "/");
    NewDocumentWith({{}});
    RunImport([&](CImportVehicle& dialog) {
        // "Lang : 1" (the listing names later vehicles by number) before "Lang : Kurz".
        ASSERT_EQ(Texts(dialog.VehicleList()),
                  (QStringList{QStringLiteral("Lang : 1"), QStringLiteral("Lang : Kurz")}));
        Select(dialog.VehicleList(), 0);
        const QString name = QStringLiteral("Lang : 1");
        EXPECT_TRUE(dialog.Preview()->Note().contains(name)) << dialog.Preview()->Note().toStdString();
        EXPECT_TRUE(dialog.Preview()->Note().contains(QStringLiteral("32 Segmente")));
        messages.entries.clear();
        ClickButton(dialog, "import1");
        EXPECT_EQ(messages.Numbers(), std::vector<int>{124});
        ASSERT_FALSE(messages.entries.empty());
        EXPECT_EQ(messages.entries[0].argument, name);
        Select(dialog.VehicleList(), 1);
        EXPECT_TRUE(dialog.Preview()->Note().isEmpty());
    });
    EXPECT_EQ(doc->Model().UndoCount(), 0);
}

TEST_F(VehicleImport, NewSetButtonAddsTheTargetSet) {
    NewDocumentWith(std::vector<std::vector<int>>(9));
    onOther = [](QDialog& dialog) {
        if (qobject_cast<CDlgNewGrp*>(&dialog) == nullptr) {
            return int(QDialog::Rejected);
        }
        dialog.findChild<QLineEdit*>(QStringLiteral("name1041"))->setText(QStringLiteral("Importiert"));
        return ClickButton(dialog, "ok1");
    };
    RunImport([&](CImportVehicle& dialog) {
        auto* button = dialog.findChild<QPushButton*>(QStringLiteral("newSet10"));
        ASSERT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(dialog.SetList()->count(), 10);
        EXPECT_EQ(SelectedRow(dialog.SetList()), 9);
        EXPECT_EQ(dialog.SetList()->item(9)->text(), QStringLiteral("Importiert"));
        EXPECT_FALSE(button->isEnabled());
        ClickButton(dialog, "import1");
    });
    ASSERT_EQ(doc->Model().CountSets(), 10);
    EXPECT_EQ(doc->Model().CountCars(9), 1);
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(VehicleImport, FindsTheSimulatorThroughTheWinePrefix) {
    // The simulator installed at C:\Spiele\TRAK in a Wine prefix, named in its win.ini.
    const std::string prefix = folder.File("prefix");
    fs::create_directories(prefix + "/drive_c/windows");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    fs::create_directories(prefix + "/drive_c/Spiele/TRAK");
    test::WriteSyntheticSimulator(prefix + "/drive_c/Spiele/TRAK", 3);
    test::WriteFile(prefix + "/drive_c/windows/win.ini",
                    std::string_view("[Velmorax_ChKMSt]\r\nT381_PFAD=C:\\Spiele\\TRAK\\\r\n"));
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    app->SimReader().SetSimulatorFolder(std::nullopt);
    NewDocumentWith({{}});
    QStringList listed;
    RunImport([&](CImportVehicle& dialog) { listed = Texts(dialog.VehicleList()); });
    EXPECT_EQ(listed, QStringList({"Gruppe 0 : 1", "Gruppe 0 : 2", "Gruppe 0 : Wagen 0"}));
    EXPECT_TRUE(messages.entries.empty());
}

}  // namespace
}  // namespace zobl
