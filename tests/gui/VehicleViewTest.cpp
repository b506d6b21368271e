#include <gtest/gtest.h>

#include <fstream>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/SteamProperties.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/vehicles/CarPropertyPanel.h"
#include "gui/vehicles/DlgSteamProperties.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"

namespace zobl {
namespace {

constexpr int kFreehand = 1;

// A vehicle document in a running application, with sets and cars made by the core.
class VehicleWindow : public ::testing::Test, public test::AppFixture {
protected:
    void SetUp() override {
        StartApp({}, true);
        // Focus moves only inside the active window.
        app->MainFrame()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(app->MainFrame()));
    }

    CFGSDoc* NewDocument() {
        doc = static_cast<CFGSDoc*>(app->Documents().NewDocument(*app->VehicleTemplate()));
        return doc;
    }
    // sets[s] = the lengths of the cars of set s.
    CFGSDoc* NewDocumentWith(const std::vector<std::vector<int>>& sets) {
        NewDocument();
        VehicleDocument& model = doc->Model();
        for (std::size_t s = 0; s < sets.size(); ++s) {
            EXPECT_TRUE(model.AddVehicleSet("Satz" + std::to_string(s), kFreehand));
            for (std::size_t c = 0; c < sets[s].size(); ++c) {
                EXPECT_TRUE(model.AddCar(int(s), int(c), "Wagen" + std::to_string(s) + std::to_string(c), "",
                                         "", sets[s][c], nullptr, kFreehand));
            }
        }
        model.ResetUndoHistory();
        model.Notify({VehicleHintCode::RebuildAll});
        return doc;
    }
    CFGSView* View(int index = 0) const {
        return dynamic_cast<CFGSView*>(doc->Views().at(std::size_t(index)));
    }
    CFGSView* SecondWindow() {
        app->VehicleTemplate()->CreateNewFrame(*doc);
        return View(1);
    }
    // Selects child `image` of car (set, car) in a window.
    static void SelectChild(CFGSView* view, int set, int car, int image) {
        QTreeWidgetItem* carItem = view->Tree()->CarItem(set, car);
        ASSERT_NE(carItem, nullptr);
        for (int k = 0; k < carItem->childCount(); ++k) {
            if (VehicleTree::TargetOf(carItem->child(k))->image == image) {
                view->Tree()->SelectItem(carItem->child(k));
                return;
            }
        }
        FAIL() << "no child with image " << image;
    }
    // The next dialog the document shows is handed to act instead of being run.
    void OnDialog(std::function<int(QDialog&)> act) {
        doc->SetDialogRunner([act](QDialog& dialog) { return act(dialog); });
    }
    static int ClickOk(QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok1")), Qt::LeftButton);
        return dialog.result();
    }
    QString CarName(int set, int car) const {
        return QString::fromLatin1(doc->Model().CarAt(set, car).name.View());
    }

    CFGSDoc* doc = nullptr;
};

TEST_F(VehicleWindow, FilesThatAreNoVehicleGraphicsOrDamagedOpenNoDocumentUnasked) {
    std::vector<std::uint8_t> valid;
    {
        VehicleDocument model;
        model.AddVehicleSet("A", kFreehand);
        model.AddCar(0, 0, "W", "", "", 2, nullptr, kFreehand);
        valid = WriteFgs(model);
    }
    const std::string sceneryBytes = [this] {
        std::ifstream in(WriteSceneryFile("scenery.gs").toStdString(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<int> messages;  // a damaged file offers what it gave (question 310, cancelled)
    };
    const Case cases[] = {
        {"scenery.fgs", sceneryBytes, {2}},
        {"foreign.fgs", "Das ist nur ein Text.\n", {2}},
        {"damaged.fgs",
         std::string(valid.begin(), valid.begin() + std::ptrdiff_t(valid.size() - 40)),
         {4, 310}},
        {"header.fgs", std::string(valid.begin(), valid.begin() + 60), {4}},  // nothing of its own
        {"empty.fgs", "", {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.File(c.name);
        std::ofstream(path, std::ios::binary) << c.bytes;
        messages.entries.clear();
        EXPECT_EQ(app->OpenDocumentFile(QString::fromStdString(path)), nullptr);
        ASSERT_EQ(messages.Numbers(), c.messages);
        EXPECT_EQ(app->Documents().DocumentCount(), 0u);
    }
}

TEST_F(VehicleWindow, WhatADamagedFileGaveOpensAsANewDocumentWithoutItsName) {
    VehicleDocument model;
    model.AddVehicleSet("A", kFreehand);
    model.AddCar(0, 0, "W", "", "", 2, nullptr, kFreehand);
    const std::vector<std::uint8_t> whole = WriteFgs(model);
    const std::string damaged(whole.begin(), whole.end() - 40);  // cut in the car's planes
    const std::string path = folder.File("kaputt.fgs");
    std::ofstream(path, std::ios::binary) << damaged;
    messages.answers = {kAnswerYes};
    doc = static_cast<CFGSDoc*>(app->OpenDocumentFile(QString::fromStdString(path)));
    EXPECT_EQ(messages.Numbers(), (std::vector<int>{4, 310}));
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->PathName().isEmpty());
    EXPECT_EQ(doc->Title(), QStringLiteral("Neue Fahrzeuge"));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(CarName(0, 0), QStringLiteral("W"));
    EXPECT_TRUE(app->RecentFiles().Files().empty());
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), damaged);
}

TEST_F(VehicleWindow, TreeShowsSetsCarsAndTheFiveChildrenOfEveryCar) {
    NewDocumentWith({{1, 2}, {}, {4}});
    VehicleTree* tree = View()->Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Satz0"));
    EXPECT_EQ(tree->topLevelItem(1)->childCount(), 0);
    QTreeWidgetItem* car = tree->CarItem(2, 0);
    ASSERT_NE(car, nullptr);
    EXPECT_EQ(car->text(0), QStringLiteral("Wagen20"));
    const QStringList labels = {"Waagerecht vorwärts", "Waagerecht rückwärts", "Senkrecht vorwärts",
                                "Senkrecht rückwärts", "Eigenschaften"};
    const int images[] = {5, 6, 8, 7, 9};
    const int modes[] = {1, 2, 4, 3, 5};
    ASSERT_EQ(car->childCount(), 5);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(car->child(k)->text(0), labels[k]);
        EXPECT_EQ(VehicleTree::TargetOf(car->child(k))->image, images[k]);
        View()->Tree()->SelectItem(car->child(k));
        EXPECT_EQ(View()->EditorMode(), modes[k]);
        EXPECT_EQ(View()->Panel()->isVisibleTo(View()), modes[k] == 5);
        EXPECT_EQ(View()->CarEditorArea()->isVisibleTo(View()), modes[k] != 5);
    }
    View()->Tree()->SelectSet(0);
    EXPECT_EQ(View()->EditorMode(), 0);
}

TEST_F(VehicleWindow, TypingANameRenamesTheCarInEveryWindowAsOneUndoStep) {
    NewDocumentWith({{2, 3}});
    CFGSView* second = SecondWindow();
    SelectChild(View(), 0, 1, 9);
    QLineEdit* name = View()->Panel()->Edit(0);
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Lok"));
    EXPECT_EQ(CarName(0, 1), QStringLiteral("Lok"));
    EXPECT_EQ(View()->Tree()->CarItem(0, 1)->text(0), QStringLiteral("Lok"));
    EXPECT_EQ(second->Tree()->CarItem(0, 1)->text(0), QStringLiteral("Lok"));
    EXPECT_EQ(doc->Model().UndoCount(), 1);

    // Emptying the field never empties the car's name; leaving it puts the name back.
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Backspace);
    EXPECT_EQ(CarName(0, 1), QStringLiteral("Lok"));
    View()->Panel()->Edit(1)->setFocus();
    QTest::keyClicks(View()->Panel()->Edit(1), QStringLiteral("zwei"));
    EXPECT_EQ(name->text(), QStringLiteral("Lok"));
    EXPECT_EQ(doc->Model().UndoCount(), 2);  // another field, another run

    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(CarName(0, 1), QStringLiteral("Wagen01"));
    EXPECT_EQ(second->Tree()->CarItem(0, 1)->text(0), QStringLiteral("Wagen01"));
}

TEST_F(VehicleWindow, PanelControlsWriteTheFiveFlagBitsOnly) {
    struct Case {
        std::uint32_t before;
        int radio;  // -1: click check box `check` instead
        int check;
        std::uint32_t after;
    };
    const Case cases[] = {
        {0x4000 | 0x0004 | 0x0001, 1, -1, 0x0001 | 0x0020},  // other bits are lost
        {0x8000 | 0x0020, 2, -1, 0x8000 | 0x0010},
        {0x0010 | 0x0040, 0, -1, 0x0040},
        {0x0000, -1, 0, 0x8000},
        {0x8001, -1, 1, 0x8000},
        {0x0020, -1, 2, 0x0060},
    };
    NewDocumentWith({{2}});
    CFGSView* second = SecondWindow();
    SelectChild(second, 0, 0, 9);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        ASSERT_TRUE(doc->Model().SetCarFlags(0, 0, c.before, nullptr, kFreehand));
        View()->Tree()->SelectCar(0, 0);
        SelectChild(View(), 0, 0, 9);
        CarPropertyPanel* panel = View()->Panel();
        QAbstractButton* button = c.radio >= 0 ? static_cast<QAbstractButton*>(panel->Radio(c.radio))
                                               : static_cast<QAbstractButton*>(panel->Check(c.check));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
        EXPECT_EQ(doc->Model().CarAt(0, 0).carFlags, c.after);
        EXPECT_EQ(second->Panel()->Flags(), c.after);  // the other window shows it
    }
    // Down on the checked radio button moves the choice and stores it.
    View()->Panel()->Radio(0)->click();
    View()->Panel()->Radio(0)->setFocus();
    QTest::keyClick(View()->Panel()->Radio(0), Qt::Key_Down);
    EXPECT_EQ(doc->Model().CarAt(0, 0).carFlags & 0x0030u, 0x0020u);
    const int steps = doc->Model().UndoCount();
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(doc->Model().UndoCount(), steps - 1);
    EXPECT_EQ(doc->Model().CarAt(0, 0).carFlags & 0x0030u, 0x0000u);
}

TEST_F(VehicleWindow, SplitterStaysTwentyPixelsFromEitherEdge) {
    NewDocumentWith({{1}});
    CFGSView* view = View();
    view->resize(400, 300);
    struct Case {
        int target;
        int expected;
    };
    for (const Case c : {Case{5, 20}, Case{200, 200}, Case{399, 380}, Case{20, 20}}) {
        const int grip = view->SplitterPosition() + 1;
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(grip, 100));
        QTest::mouseMove(view, QPoint(c.target, 100));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(c.target, 100));
        EXPECT_EQ(view->SplitterPosition(), c.expected) << c.target;
        EXPECT_EQ(view->Tree()->width(), c.expected);
    }
    // A press away from the splitter does not move it.
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(view->SplitterPosition() + 40, 5));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(300, 5));
    EXPECT_EQ(view->SplitterPosition(), 20);
}

TEST_F(VehicleWindow, UndoOfADeletedSetBringsBackEachWindowsExpansion) {
    NewDocumentWith({{1}, {2}, {3}});
    CFGSView* first = View();
    CFGSView* second = SecondWindow();
    first->Tree()->SetItem(0)->setExpanded(true);
    first->Tree()->SetItem(2)->setExpanded(true);
    second->Tree()->SetItem(1)->setExpanded(true);
    first->Tree()->SelectSet(0);
    messages.answers = {kAnswerYes};
    ASSERT_TRUE(first->OnCommand(ID_VEHICLE_DELETE));
    ASSERT_EQ(first->Tree()->topLevelItemCount(), 2);
    EXPECT_EQ(first->Tree()->SetItem(0)->text(0), QStringLiteral("Satz1"));
    EXPECT_TRUE(first->Tree()->SetItem(1)->isExpanded());  // the former set 2
    EXPECT_TRUE(second->Tree()->SetItem(0)->isExpanded());

    ASSERT_TRUE(doc->OnCommand(ID_EDIT_UNDO));
    ASSERT_EQ(first->Tree()->topLevelItemCount(), 3);
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(first->Tree()->SetItem(s)->isExpanded(), s != 1) << s;
        EXPECT_EQ(second->Tree()->SetItem(s)->isExpanded(), s == 1) << s;
    }
}

TEST_F(VehicleWindow, EachWindowKeepsItsSelectionAcrossUndoAndRedo) {
    NewDocumentWith({{1, 1}, {2}});
    CFGSView* first = View();
    CFGSView* second = SecondWindow();
    first->Tree()->SelectCar(0, 1);
    second->Tree()->SelectCar(1, 0);
    // A structural step (a new set) and a text step, both undone and redone.
    ASSERT_TRUE(doc->Model().AddVehicleSet("Neu", kFreehand));
    ASSERT_TRUE(doc->Model().RenameVehicleSet(0, "Anders", kFreehand));
    for (const int command : {ID_EDIT_UNDO, ID_EDIT_UNDO, ID_EDIT_REDO}) {
        ASSERT_TRUE(doc->OnCommand(command));
        EXPECT_EQ(first->SelectedTarget(), (VehicleTreeTarget{4, 0, 1}));
        EXPECT_EQ(second->SelectedTarget(), (VehicleTreeTarget{4, 1, 0}));
    }
    EXPECT_EQ(first->Tree()->topLevelItemCount(), 3);

    // Closing the first window makes the second one window 0; it keeps its own state.
    ASSERT_TRUE(CChildFrame::FrameOf(first)->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(doc->Views().size(), 1u);
    ASSERT_TRUE(doc->Model().AddVehicleSet("Noch", kFreehand));
    EXPECT_EQ(second->SelectedTarget(), (VehicleTreeTarget{4, 1, 0}));
    EXPECT_FALSE(second->Tree()->SetItem(0)->isExpanded());
}

TEST_F(VehicleWindow, MovesAreOfferedOnlyWhereTheyCanGo) {
    NewDocumentWith({{1, 2, 3}, {1}});
    CFGSView* view = View();
    struct Case {
        int set;
        int car;
        bool forward;
        bool back;
    };
    for (const Case c : {Case{0, 0, false, true}, Case{0, 1, true, true}, Case{0, 2, true, false},
                         Case{1, 0, false, false}, Case{0, -1, false, true}, Case{1, -1, true, false}}) {
        if (c.car < 0) {
            view->Tree()->SelectSet(c.set);
        } else {
            view->Tree()->SelectCar(c.set, c.car);
        }
        CommandState forward;
        CommandState back;
        ASSERT_TRUE(view->OnUpdateCommand(ID_VEHICLE_MOVE_FORWARD, forward));
        ASSERT_TRUE(view->OnUpdateCommand(ID_VEHICLE_MOVE_BACK, back));
        EXPECT_EQ(forward.enabled, c.forward) << c.set << "/" << c.car;
        EXPECT_EQ(back.enabled, c.back) << c.set << "/" << c.car;
    }
    // Moving the middle car back: it stays selected, now third.
    view->Tree()->SelectCar(0, 1);
    ASSERT_TRUE(view->OnCommand(ID_VEHICLE_MOVE_BACK));
    EXPECT_EQ(CarName(0, 2), QStringLiteral("Wagen01"));
    EXPECT_EQ(view->SelectedTarget(), (VehicleTreeTarget{4, 0, 2}));
    // Undo takes car and selection back together.
    ASSERT_TRUE(doc->OnCommand(ID_EDIT_UNDO));
    EXPECT_EQ(CarName(0, 1), QStringLiteral("Wagen01"));
    EXPECT_EQ(view->SelectedTarget(), (VehicleTreeTarget{4, 0, 1}));
}

TEST_F(VehicleWindow, NewCarDialogAddsTheCarToTheChosenSetAndSelectsIt) {
    NewDocumentWith({{1}, {30}});
    View()->Tree()->SelectCar(1, 0);
    struct Case {
        int length;  // list entry j-1 stands for length j
        std::vector<int> errors;
    };
    for (const Case& c : {Case{3, {112}}, Case{2, {}}}) {
        messages.entries.clear();
        OnDialog([&](QDialog& dialog) {
            auto* lengths = dialog.findChild<QListWidget*>(QStringLiteral("lengths1046"));
            if (lengths == nullptr) {
                auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("lengths1046"));
                combo->setCurrentIndex(c.length - 1);
            } else {
                lengths->setCurrentRow(c.length - 1);
            }
            QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("name1042")),
                             QStringLiteral("Tender"));
            ClickOk(dialog);
            const int result = dialog.result();
            if (result != QDialog::Accepted) {
                dialog.reject();
            }
            return result;
        });
        ASSERT_TRUE(Command(ID_VEHICLE_NEW_CAR));
        EXPECT_EQ(messages.Numbers(), c.errors);
    }
    ASSERT_EQ(doc->Model().CountCars(1), 2);  // the set preselected from the tree
    EXPECT_EQ(CarName(1, 1), QStringLiteral("Tender"));
    EXPECT_EQ(doc->Model().CarAt(1, 1).length, 2);
    EXPECT_EQ(View()->SelectedTarget(), (VehicleTreeTarget{4, 1, 1}));
}

TEST_F(VehicleWindow, RenameDeleteAndTheirQuestions) {
    NewDocumentWith({{1, 1}, {1}});
    CFGSView* view = View();
    view->Tree()->SelectSet(1);
    OnDialog([](QDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("name1041"));
        name->clear();
        ClickOk(dialog);  // empty: error 106, stays open
        name->insert(QStringLiteral("Güterzug"));
        return ClickOk(dialog);
    });
    ASSERT_TRUE(Command(ID_VEHICLE_EDIT_SET));
    EXPECT_EQ(messages.Numbers(), std::vector<int>{106});
    EXPECT_EQ(view->Tree()->SetItem(1)->text(0), QStringLiteral("Güterzug"));

    // A declined question deletes nothing; yes deletes the car.
    view->Tree()->SelectCar(0, 1);
    messages.entries.clear();
    messages.answers = {kAnswerNo, kAnswerYes};
    ASSERT_TRUE(Command(ID_VEHICLE_DELETE));
    EXPECT_EQ(doc->Model().CountCars(0), 2);
    ASSERT_TRUE(Command(ID_VEHICLE_DELETE));
    EXPECT_EQ(doc->Model().CountCars(0), 1);
    ASSERT_EQ(messages.entries.size(), 2u);
    EXPECT_EQ(messages.entries[0].number, 302);
    EXPECT_EQ(messages.entries[0].argument, QStringLiteral("Wagen01"));
}

TEST_F(VehicleWindow, CopiedCarsAndSetsPasteWithTheirLimits) {
    NewDocumentWith({{8}, {1, 1, 1, 1, 1, 1, 1, 1}, {30}});
    CFGSView* view = View();
    view->Tree()->SelectCar(0, 0);
    ASSERT_TRUE(view->OnCommand(ID_EDIT_COPY_ACTIVE));  // Ctrl+C on a car item copies the car
    ASSERT_TRUE(app->Clipboard().HasCar());
    struct Case {
        int set;
        std::vector<int> errors;
        int carsAfter;
    };
    for (const Case& c : {Case{1, {111}, 8}, Case{2, {112}, 1}, Case{0, {}, 2}}) {
        messages.entries.clear();
        view->Tree()->SelectSet(c.set);
        ASSERT_TRUE(view->OnCommand(ID_VEHICLE_PASTE_CAR));
        EXPECT_EQ(messages.Numbers(), c.errors) << c.set;
        EXPECT_EQ(doc->Model().CountCars(c.set), c.carsAfter) << c.set;
    }
    EXPECT_EQ(view->SelectedTarget(), (VehicleTreeTarget{4, 0, 1}));

    view->Tree()->SelectSet(1);
    ASSERT_TRUE(view->OnCommand(ID_EDIT_COPY_ACTIVE));
    ASSERT_TRUE(view->OnCommand(ID_EDIT_PASTE_ACTIVE));  // with a set item: paste a set
    ASSERT_EQ(doc->Model().CountSets(), 4);
    EXPECT_EQ(doc->Model().CountCars(3), 8);
    EXPECT_EQ(view->SelectedTarget(), (VehicleTreeTarget{3, 3, -1}));
    // The copy is the clipboard's own: changing the source leaves it as copied.
    ASSERT_TRUE(doc->Model().RenameVehicleSet(1, "Umbenannt", kFreehand));
    EXPECT_EQ(app->Clipboard().GetVehicleSet().name.View(), "Satz1");
}

TEST_F(VehicleWindow, SteamDialogSetsTheSegmentOfTheRememberedBand) {
    NewDocumentWith({{4}});
    CFGSView* view = View();
    SelectChild(view, 0, 0, 6);  // view 2: band j is segment d - 1 - j
    view->SetContextSegment(ContextSegmentAt(20, 5));
    OnDialog([](QDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("half1073"))->click();
        return ClickOk(dialog);
    });
    ASSERT_TRUE(Command(ID_VEHICLE_STEAM));
    EXPECT_EQ(doc->Model().SegmentWord(0, 0, 2, 1), steam::kHalf);
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(doc->Model().SegmentWord(0, 0, 2, 1), 0);

    // A band beyond this car's length touches nothing.
    SelectChild(view, 0, 0, 6);
    view->SetContextSegment(ContextSegmentAt(8 * 10, 0));
    bool shown = false;
    OnDialog([&shown](QDialog& dialog) {
        shown = true;
        return ClickOk(dialog);
    });
    ASSERT_TRUE(Command(ID_VEHICLE_STEAM));
    EXPECT_FALSE(shown);
    EXPECT_EQ(doc->Model().UndoCount(), 0);
}

TEST_F(VehicleWindow, ExportRefusesHalfTransparencyAndSelectsTheCar) {
    NewDocumentWith({{1}, {1, 1, 1}});
    ASSERT_TRUE(doc->Model().SetPixel(1, 2, 0, 0, 0, HalfTransparentIndex, false, kFreehand));
    bool dialogShown = false;
    OnDialog([&dialogShown](QDialog&) {
        dialogShown = true;
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(Command(ID_FILE_SAVE_UZG));
    EXPECT_FALSE(dialogShown);
    ASSERT_EQ(infoBoxes.size(), 1);
    EXPECT_TRUE(infoBoxes[0].startsWith(QStringLiteral("OnFileExportAs: Halbtransparenz gefunden!")));
    EXPECT_TRUE(infoBoxes[0].endsWith(QStringLiteral("Grp=1 Car=2 Idx=0")));
    EXPECT_EQ(View()->SelectedTarget(), (VehicleTreeTarget{4, 1, 2}));
}

TEST_F(VehicleWindow, ExportWritesBothFilesAndRemembersTheFolder) {
    NewDocumentWith({{2}});
    doc->SetModifiedFlag(false);
    app->Settings().autoApplyFolders = true;
    const QString target = QString::fromStdString(folder.File("export"));
    QDir().mkpath(target);
    OnDialog([&target](QDialog& dialog) {
        auto* folderField = dialog.findChild<QLineEdit*>(QStringLiteral("folder1036"));
        folderField->setText(target + "/");
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("name1038"));
        EXPECT_EQ(name->text(), QStringLiteral("unbekannt"));  // no file yet
        name->setText(QStringLiteral("zug"));
        return ClickOk(dialog);
    });
    ASSERT_TRUE(Command(ID_FILE_SAVE_UZG));
    EXPECT_TRUE(QFileInfo::exists(target + "/zug.UFG"));
    EXPECT_TRUE(QFileInfo::exists(target + "/zug.UZZ"));
    EXPECT_EQ(QString::fromStdString(app->Settings().exportFolder), target + "/");
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(VehicleWindow, SavedFileReopensAndRevertDropsLaterChanges) {
    NewDocumentWith({{2}, {1, 3}});
    ASSERT_TRUE(doc->Model().SetCarTexts(1, 1, "Lok", "zwei", "drei", nullptr, kFreehand));
    ASSERT_TRUE(doc->Model().SetCarFlags(1, 1, 0x8020, nullptr, kFreehand));
    const QString path = QString::fromStdString(folder.File("zug.fgs"));
    ASSERT_TRUE(doc->DoSave(path));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->Title(), QStringLiteral("zug.fgs"));

    CommandState revert;
    ASSERT_TRUE(doc->OnUpdateCommand(ID_FILE_REVERT, revert));
    EXPECT_FALSE(revert.enabled);  // nothing to go back to
    ASSERT_TRUE(doc->Model().DeleteVehicleSet(0, true, kFreehand));
    ASSERT_TRUE(doc->OnUpdateCommand(ID_FILE_REVERT, revert));
    EXPECT_TRUE(revert.enabled);
    messages.answers = {kAnswerNo, kAnswerYes};
    ASSERT_TRUE(doc->OnCommand(ID_FILE_REVERT));
    EXPECT_EQ(doc->Model().CountSets(), 1);
    ASSERT_TRUE(doc->OnCommand(ID_FILE_REVERT));
    ASSERT_EQ(doc->Model().CountSets(), 2);
    EXPECT_EQ(doc->Model().UndoCount(), 0);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(View()->Tree()->topLevelItemCount(), 2);

    doc->OnCloseDocument();
    QCoreApplication::processEvents();
    auto* reopened = static_cast<CFGSDoc*>(app->OpenDocumentFile(path));
    ASSERT_NE(reopened, nullptr);
    const Car& car = reopened->Model().CarAt(1, 1);
    EXPECT_EQ(car.name.View(), "Lok");
    EXPECT_EQ(car.text3.View(), "drei");
    EXPECT_EQ(car.carFlags, 0x8020u);
    EXPECT_EQ(car.length, 3);
}

TEST_F(VehicleWindow, ContextMenuHoldsTheTreeCommandsInOrder) {
    NewDocumentWith({{1}});
    CFGSView* view = View();
    view->Tree()->SelectCar(0, 0);
    std::vector<int> ids;
    view->SetPopupRunner([&ids](QMenu& menu, const QPoint&) {
        const std::function<void(QMenu&)> walk = [&](QMenu& m) {
            for (QAction* action : m.actions()) {
                if (action->menu() != nullptr) {
                    ids.push_back(-1);
                    walk(*action->menu());
                } else {
                    ids.push_back(action->isSeparator() ? 0 : CommandRouter::CommandOf(action));
                }
            }
        };
        walk(menu);
    });
    ASSERT_TRUE(view->OnCommand(ID_CONTEXT_MENU_KEY));
    EXPECT_EQ(ids, (std::vector<int>{57634, 32816, 32815, 0,     -1,    57637, 32790, 32817, 32818, 32813,
                                     57635, 0,     -1,    32811, 32810, 0,     32812, 0,     32825, 32826}));
}

TEST_F(VehicleWindow, ClickingAnItemShowsItsSideAtOnce) {
    NewDocumentWith({{4}});
    QTreeWidgetItem* car = View()->Tree()->CarItem(0, 0);
    View()->Tree()->SetItem(0)->setExpanded(true);
    car->setExpanded(true);
    for (const int child : {4, 0, 1}) {
        const QRect area = View()->Tree()->visualItemRect(car->child(child));
        QTest::mouseClick(View()->Tree()->viewport(), Qt::LeftButton, {}, area.center());
        EXPECT_EQ(View()->EditorMode(), child == 4 ? 5 : child + 1);
        EXPECT_EQ(View()->Panel()->isVisible(), child == 4);
    }
}

}  // namespace
}  // namespace zobl
