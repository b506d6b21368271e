#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include "GuiTestSupport.h"
#include "core/drawing/MouseMode.h"
#include "core/text/CodePages.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/SteamProperties.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandTable.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/vehicles/CarPropertyPanel.h"
#include "gui/vehicles/DlgExport.h"
#include "gui/vehicles/DlgNewCar.h"
#include "gui/vehicles/DlgNewGrp.h"
#include "gui/vehicles/DlgSteamProperties.h"
#include "gui/vehicles/EditGrpDlg.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "gui/widgets/EditInfoText.h"

namespace zobl {
namespace {

constexpr MouseMode kFreehand = MouseMode::Freehand;

// A vehicle document in a running application, with sets and cars made by the core.
class VehicleWindow : public ::testing::Test, public test::AppFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartActiveApp());
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
    for (const CommandId command : {ID_EDIT_UNDO, ID_EDIT_UNDO, ID_EDIT_REDO}) {
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
    // So does undoing a step taken while the first window was still open.
    ASSERT_TRUE(doc->OnCommand(ID_EDIT_UNDO));
    ASSERT_TRUE(doc->OnCommand(ID_EDIT_UNDO));
    EXPECT_EQ(doc->Model().CountSets(), 2);
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
    QString subject;
    OnDialog([&subject](QDialog& dialog) {
        subject = dynamic_cast<CDlgSteamProperties&>(dialog).Subject();
        dialog.findChild<QRadioButton*>(QStringLiteral("half1073"))->click();
        return ClickOk(dialog);
    });
    ASSERT_TRUE(Command(ID_VEHICLE_STEAM));
    EXPECT_EQ(doc->Model().SegmentWord(0, 0, 2, 1), steam::kHalf);
    // The dialog says what it edits, the segment counted from 1.
    EXPECT_EQ(subject, QStringLiteral("Fahrzeug „Wagen00“, Waagerecht rückwärts, Segment 2 von 4"));
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

// The Applications key opens the tree's menu: items with texts of their own (the central
// actions keep the menu bar's), each one a command of the command table.
TEST_F(VehicleWindow, ContextMenuHoldsTheTreeCommandsWithTheirOwnTexts) {
    NewDocumentWith({{1}});
    CFGSView* view = View();
    view->Tree()->SelectCar(0, 0);
    const QString copyInMenuBar = Action(ID_EDIT_COPY)->text();
    std::vector<QAction*> items;
    view->SetPopupRunner([&items](QMenu& menu, const QPoint&) {
        const std::function<void(QMenu&)> walk = [&](QMenu& m) {
            for (QAction* action : m.actions()) {
                if (action->menu() != nullptr) {
                    EXPECT_FALSE(action->text().isEmpty());
                    walk(*action->menu());
                } else if (!action->isSeparator()) {
                    items.push_back(action);
                }
            }
        };
        walk(menu);
    });
    ASSERT_TRUE(view->OnCommand(ID_CONTEXT_MENU_KEY));
    ASSERT_GE(items.size(), 12u);
    std::set<int> commands;
    for (QAction* action : items) {
        ASSERT_TRUE(CommandRouter::CommandOf(action));
        const CommandId id = *CommandRouter::CommandOf(action);
        commands.insert(id);
        EXPECT_NE(action, Action(id)) << id;
        EXPECT_FALSE(action->text().isEmpty()) << id;
        EXPECT_FALSE(action->text().startsWith(QLatin1String("key"))) << id;
        EXPECT_NE(FindCommand(id), nullptr) << id;
    }
    // Copy, paste, delete and the new car and set are what the menu is for.
    for (const int id :
         {ID_EDIT_COPY, ID_EDIT_PASTE, ID_VEHICLE_DELETE, ID_VEHICLE_NEW_CAR, ID_VEHICLE_NEW_SET}) {
        EXPECT_TRUE(commands.contains(id)) << id;
    }
    EXPECT_EQ(Action(ID_EDIT_COPY)->text(), copyInMenuBar);
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

// A key press that brings a character, as a keyboard layout that has it gives it.
void TypeCharacter(QWidget* field, const QString& character) {
    QTest::sendKeyEvent(QTest::Press, field, Qt::Key_unknown, character, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, field, Qt::Key_unknown, character, Qt::NoModifier);
}

// Every field whose text ends up in a Windows-1252 file takes "a", refuses "ł" with a tool tip
// that names it, and takes "b": no '?' reaches the document.
TEST_F(VehicleWindow, FieldsRefuseCharactersTheirFileCannotHold) {
    NewDocumentWith({{2}});
    SelectChild(View(), 0, 0, 9);
    const CLanguageManager& language = app->GetLanguageManager();
    const auto accept = [](const QString&) { return 0; };
    CDlgNewGrp newSet(language, messages, accept);
    CEditGrpDlg rename(language, messages, QString(), accept);
    CDlgNewCar newCar(language, messages, {}, -1, [](int, const QString&, int) { return 0; });
    CEditInfoText info(language);
    CarPropertyPanel* panel = View()->Panel();
    for (QWidget* field : std::initializer_list<QWidget*>{
             panel->Edit(0), panel->Edit(1), panel->Edit(2), newSet.findChild<QLineEdit*>("name1041"),
             rename.findChild<QLineEdit*>("name1041"), newCar.findChild<QLineEdit*>("name1042"),
             info.findChild<QLineEdit*>("author1002"), info.findChild<QPlainTextEdit*>("info1003")}) {
        SCOPED_TRACE(field->objectName().toStdString());
        field->window()->show();
        if (auto* line = qobject_cast<QLineEdit*>(field)) {
            line->clear();
        }
        for (const QString& character : {QStringLiteral("a"), QStringLiteral("ł"), QStringLiteral("b")}) {
            TypeCharacter(field, character);
        }
        EXPECT_TRUE(QToolTip::text().endsWith(QStringLiteral(": ł"))) << QToolTip::text().toStdString();
        QToolTip::hideText();
        const auto* line = qobject_cast<QLineEdit*>(field);
        EXPECT_EQ(line ? line->text() : qobject_cast<QPlainTextEdit*>(field)->toPlainText(),
                  QStringLiteral("ab"));
    }
    EXPECT_EQ(doc->Model().CarAt(0, 0).text2.View(), "ab");
}

// What code page 850 lacks becomes '?' in the simulator's files: the dialog says so, naming
// the cars and sets, before anything is written.
TEST_F(VehicleWindow, ExportDialogNamesTheTextsThatLoseCharacters) {
    NewDocumentWith({{1, 1}, {1}});
    ASSERT_TRUE(
        doc->Model().SetCarTexts(0, 1, "Wagen01", "1 \x80", "\x96\x80", nullptr, kFreehand));  // € – €
    ASSERT_TRUE(doc->Model().RenameVehicleSet(1, "S\x96", kFreehand));
    QString notice;
    OnDialog([&notice](QDialog& dialog) {
        dialog.show();
        if (dialog.findChild<QLabel*>(QStringLiteral("lossNotice"))->isVisible()) {
            notice = dynamic_cast<CDlgExport&>(dialog).Notice();
        }
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(Command(ID_FILE_SAVE_UZG));
    EXPECT_EQ(notice, QStringLiteral("TRAK kennt diese Zeichen nicht, die Exportdateien erhalten dafür „?“:\n"
                                     "Fahrzeug „Wagen01“ (Fahrzeugsatz „Satz0“): € –\n"
                                     "Fahrzeugsatz „S–“: –"));
}

// A vehicle file keeps 79 author and 2047 info characters (its fields end in a 0): the dialog
// takes no more, so nothing is cut without a word.
TEST_F(VehicleWindow, InfoDialogTakesWhatTheVehicleFileKeeps) {
    NewDocument();
    QString shownAuthor;
    QString shownInfo;
    OnDialog([&](QDialog& dialog) {
        dialog.show();
        auto* author = dialog.findChild<QLineEdit*>(QStringLiteral("author1002"));
        auto* info = dialog.findChild<QPlainTextEdit*>(QStringLiteral("info1003"));
        QTest::keyClicks(author, QString(85, QLatin1Char('m')));
        QGuiApplication::clipboard()->setText(QString(2100, QLatin1Char('i')));
        QTest::keyClick(info, Qt::Key_V, Qt::ControlModifier);
        shownAuthor = author->text();
        shownInfo = info->toPlainText();
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(Command(ID_EDIT_INFO));
    EXPECT_EQ(shownAuthor.size(), 79);
    EXPECT_EQ(shownInfo.size(), 2047);
    EXPECT_EQ(doc->Model().Author(), shownAuthor.toStdString());
    EXPECT_EQ(doc->Model().InfoText(), shownInfo.toStdString());
}

// The undo and redo keys in a property field are the document's; the field keeps no history
// of its own, which would record old texts as new changes.
TEST_F(VehicleWindow, UndoKeysInThePanelAreTheDocuments) {
    NewDocumentWith({{2}});
    SelectChild(View(), 0, 0, 9);
    QLineEdit* text2 = View()->Panel()->Edit(1);
    text2->setFocus();
    QTest::keyClicks(text2, QStringLiteral("abc"));
    EXPECT_FALSE(text2->isUndoAvailable());
    const struct {
        Qt::Key key;
        const char* text2;
        int undoSteps;
    } cases[] = {{Qt::Key_Z, "", 0}, {Qt::Key_Y, "abc", 1}, {Qt::Key_Z, "", 0}};
    for (const auto& c : cases) {
        QTest::keyClick(text2, c.key, Qt::ControlModifier);
        EXPECT_EQ(doc->Model().CarAt(0, 0).text2.View(), c.text2);
        EXPECT_EQ(text2->text(), QString::fromLatin1(c.text2));
        EXPECT_EQ(doc->Model().UndoCount(), c.undoSteps);
    }
}

// "Kopieren" and "Einfügen (Intern)" of the menu do for a car what their keys do.
TEST_F(VehicleWindow, MenuCopyAndPasteFollowTheKeys) {
    NewDocumentWith({{1}});
    View()->Tree()->setFocus();
    View()->Tree()->SelectCar(0, 0);
    const CommandRouter& router = app->MainFrame()->Router();
    EXPECT_TRUE(router.QueryState(ID_EDIT_COPY).enabled);
    EXPECT_FALSE(router.QueryState(ID_EDIT_PASTE).enabled);
    ASSERT_TRUE(Command(ID_EDIT_COPY));
    EXPECT_TRUE(router.QueryState(ID_EDIT_PASTE).enabled);
    ASSERT_TRUE(Command(ID_EDIT_PASTE));
    EXPECT_EQ(doc->Model().CountCars(0), 2);
}

// Delete asks, deletes and leaves the neighbour selected; Shift+F10 opens the context menu.
TEST_F(VehicleWindow, TreeKeysDeleteWithTheQuestionAndOpenTheMenu) {
    NewDocumentWith({{1, 2, 3}});
    VehicleTree* tree = View()->Tree();
    tree->setFocus();
    const struct {
        int car;
        std::size_t carsAfter;
        VehicleTreeTarget selected;
    } cases[] = {
        {1, 2, {4, 0, 1}},   // the car that took the slot
        {1, 1, {4, 0, 0}},   // the last car: the one before
        {0, 0, {3, 0, -1}},  // the only car: its set
    };
    for (const auto& c : cases) {
        tree->SelectCar(0, c.car);
        messages.entries.clear();
        messages.answers = {kAnswerYes};
        QTest::keyClick(tree, Qt::Key_Delete);
        EXPECT_EQ(messages.Numbers(), std::vector<int>{302});
        EXPECT_EQ(std::size_t(doc->Model().CountCars(0)), c.carsAfter);
        EXPECT_EQ(View()->SelectedTarget(), c.selected);
    }
    int shown = 0;
    View()->SetPopupRunner([&shown](QMenu&, const QPoint&) { ++shown; });
    QTest::keyClick(tree, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(shown, 1);
}

TEST_F(VehicleWindow, ANewSetIsSelected) {
    NewDocumentWith({{1}});
    OnDialog([](QDialog& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("name1041")), QStringLiteral("Neu"));
        return ClickOk(dialog);
    });
    ASSERT_TRUE(Command(ID_VEHICLE_NEW_SET));
    EXPECT_EQ(View()->SelectedTarget(), (VehicleTreeTarget{3, 1, -1}));
}

// A set name of the longest length is read whole in a new window, without scrolling sideways.
TEST_F(VehicleWindow, TheTreeStartsWideEnoughForTheLongestSetName) {
    NewDocument();
    for (const char* name : {"Nahverkehrszug Hamburg", "Güterzug mit Kesselwag"}) {
        ASSERT_TRUE(doc->Model().AddVehicleSet(Utf8ToCp1252(name), kFreehand));
    }
    VehicleTree* tree = SecondWindow()->Tree();
    QCoreApplication::processEvents();
    EXPECT_EQ(tree->horizontalScrollBar()->maximum(), 0);
    EXPECT_LE(tree->visualItemRect(tree->SetItem(0)).right(), tree->viewport()->width());
}

// The flag controls say words; the bit each one stands for is in its tool tip.
TEST_F(VehicleWindow, FlagControlsSayWordsAndNameTheirBitsInTheToolTip) {
    NewDocumentWith({{1}});
    CarPropertyPanel* panel = View()->Panel();
    const struct {
        QAbstractButton* control;
        const char* bit;
    } cases[] = {{panel->Check(0), "0x8000"}, {panel->Check(1), "0x0001"}, {panel->Check(2), "0x0040"},
                 {panel->Radio(0), "0x0020"}, {panel->Radio(1), "0x0020"}, {panel->Radio(2), "0x0010"}};
    for (const auto& c : cases) {
        EXPECT_FALSE(c.control->text().contains(QStringLiteral("0x"))) << c.bit;
        EXPECT_TRUE(c.control->toolTip().contains(QString::fromLatin1(c.bit))) << c.bit;
    }
}

}  // namespace
}  // namespace zobl
