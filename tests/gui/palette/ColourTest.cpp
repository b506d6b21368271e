#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "DialogTestSupport.h"
#include "GuiTestSupport.h"
#include "core/common/FileSizeLimit.h"
#include "core/lang/LanguageManager.h"
#include "gui/framework/CommandIds.h"
#include "gui/lang/Localization.h"
#include "gui/palette/ColorBar.h"
#include "gui/palette/ColorDlg.h"
#include "gui/palette/ColorSettings.h"
#include "gui/palette/ColourSwatchButton.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/widgets/DialogSupport.h"

namespace zobl {
namespace {

QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

TEST(ColourBarLayout, TheVerticalBarRunsItsGroupsInColumns) {
    const QSize size = CColorBar::TemplateSize(false);
    EXPECT_EQ(size, QSize(51, 382));
    const ColourBarLayout layout = ComputeColourBarLayout(false, size);
    EXPECT_EQ(layout.leftSwatch, Edges(6, 10, 33, 37));
    EXPECT_EQ(layout.rightSwatch, Edges(18, 23, 45, 50));
    const auto at = [&](int field) { return layout.fields[static_cast<std::size_t>(field)].topLeft(); };
    EXPECT_EQ(at(0), QPoint(2, 55));
    EXPECT_EQ(at(31), QPoint(2, 365));
    EXPECT_EQ(at(32), QPoint(13, 55));
    EXPECT_EQ(at(62), QPoint(13, 355));
    EXPECT_EQ(at(63), QPoint(24, 55));
    EXPECT_EQ(at(68), QPoint(24, 105));
    EXPECT_EQ(at(69), QPoint(24, 145));  // 30 pixels before the special colours
    EXPECT_EQ(at(72), QPoint(24, 205));  // and before the lamps
    EXPECT_EQ(at(76), QPoint(35, 55));
    EXPECT_EQ(at(103), QPoint(35, 325));
    for (const QRect& field : layout.fields) {
        EXPECT_EQ(field.size(), QSize(9, 9));
        EXPECT_TRUE(QRect(QPoint(0, 0), size).contains(field));
    }
}

TEST(ColourBarLayout, TheHorizontalBarRunsItsGroupsInRows) {
    const QSize size = CColorBar::TemplateSize(true);
    EXPECT_EQ(size, QSize(390, 55));
    const ColourBarLayout layout = ComputeColourBarLayout(true, size);
    EXPECT_EQ(layout.leftSwatch, Edges(10, 6, 41, 37));
    EXPECT_EQ(layout.rightSwatch, Edges(25, 18, 56, 49));
    const auto at = [&](int field) { return layout.fields[static_cast<std::size_t>(field)].topLeft(); };
    EXPECT_EQ(at(0), QPoint(61, 4));
    EXPECT_EQ(at(32), QPoint(61, 15));
    EXPECT_EQ(at(63), QPoint(61, 26));
    EXPECT_EQ(at(69), QPoint(151, 26));
    EXPECT_EQ(at(72), QPoint(211, 26));
    EXPECT_EQ(at(76), QPoint(61, 37));
    for (const QRect& field : layout.fields) {
        EXPECT_TRUE(QRect(QPoint(0, 0), size).contains(field));
    }
}

TEST(ColourBarLayout, TheFieldTableHoldsEveryColour) {
    std::vector<int> seen(kPaletteSize, 0);
    for (const int index : kColourFieldIndices) {
        ASSERT_GE(index, 0);
        ASSERT_LT(index, kPaletteSize);
        ++seen[static_cast<std::size_t>(index)];
    }
    for (int index = 0; index < kPaletteSize; ++index) {
        EXPECT_EQ(seen[static_cast<std::size_t>(index)], index >= 29 && index <= 32 ? 2 : 1) << index;
    }
    for (int field = 0; field < 63; ++field) {
        EXPECT_TRUE(IsOrdinaryIndex(kColourFieldIndices[static_cast<std::size_t>(field)])) << field;
    }
    EXPECT_EQ(kColourFieldIndices[69], 56);
    EXPECT_EQ(kColourFieldIndices[70], 97);
    EXPECT_EQ(kColourFieldIndices[71], 99);
}

class Colours : public ::testing::Test, public test::AppFixture {
protected:
    CColorBar& Bar(bool horizontal) {
        for (CColorBar* bar : app->MainFrame()->findChildren<CColorBar*>()) {
            if (bar->IsHorizontal() == horizontal) {
                return *bar;
            }
        }
        throw std::runtime_error("no colour bar");
    }
    QImage Face(CColorBar& bar) { return bar.Face()->grab().toImage(); }
    QPoint FieldCentre(CColorBar& bar, int field) {
        return bar.Layout().fields[static_cast<std::size_t>(field)].topLeft() + QPoint(1, 1);
    }
};

TEST_F(Colours, TheMainFrameDocksBothBarsAndShowsTheChosenOne) {
    StartApp({}, true);
    CColorBar& vertical = Bar(false);
    CColorBar& horizontal = Bar(true);
    EXPECT_FALSE(vertical.isHidden());
    EXPECT_TRUE(horizontal.isHidden());
    EXPECT_EQ(vertical.windowTitle(), QStringLiteral("Farben"));
    EXPECT_EQ(app->MainFrame()->dockWidgetArea(&vertical), Qt::LeftDockWidgetArea);
    EXPECT_EQ(app->MainFrame()->dockWidgetArea(&horizontal), Qt::BottomDockWidgetArea);
    EXPECT_EQ(vertical.allowedAreas(), Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    EXPECT_EQ(horizontal.allowedAreas(), Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    EXPECT_EQ(vertical.Face()->size(), CColorBar::TemplateSize(false));
    Command(ID_VIEW_COLOUR_BAR);
    EXPECT_TRUE(vertical.isHidden());
    EXPECT_TRUE(horizontal.isHidden());
}

TEST_F(Colours, ClicksOnTheBarChooseTheDrawingColours) {
    StartApp({}, true);
    CColorBar& bar = Bar(false);
    QSignalSpy changes(app.get(), &CBug1App::DrawingColoursChanged);
    QTest::mouseClick(bar.Face(), Qt::LeftButton, {}, FieldCentre(bar, 69));
    EXPECT_EQ(app->GetColor1(), 56);
    EXPECT_EQ(changes.size(), 1);
    QTest::mouseClick(bar.Face(), Qt::RightButton, {}, FieldCentre(bar, 70));
    EXPECT_EQ(app->GetColor2(), 97);
    // The same colour again changes nothing and repaints nothing.
    QTest::mouseClick(bar.Face(), Qt::LeftButton, {}, FieldCentre(bar, 69));
    EXPECT_EQ(changes.size(), 2);

    // Both swatches show the mark spot of their special colour; the fields theirs.
    const QImage face = Face(bar);
    EXPECT_EQ(face.pixelColor(bar.Layout().leftSwatch.center()), QColor(255, 255, 255));  // MARKTRANSCOL
    // The visible corner of the right swatch's spot (the left swatch covers the rest).
    const QRect rightSpot = bar.Layout().rightSwatch.adjusted(9, 9, -9, -9);
    EXPECT_EQ(face.pixelColor(rightSpot.bottomRight()), QColor(192, 192, 192));  // MARKTRANSCOL2
    EXPECT_EQ(face.pixelColor(bar.Layout().leftSwatch.topLeft() + QPoint(2, 2)), QColor(0, 112, 0));
    const QRect special = bar.Layout().fields[71];
    EXPECT_EQ(face.pixelColor(special.topLeft() + QPoint(4, 4)), QColor(112, 192, 112));  // MARKTRANSCOL3
    EXPECT_EQ(face.pixelColor(special.topLeft()), DisplayColour(app->GetPalette(), 99));

    // A right click on a swatch does nothing at all; a click beside every field neither.
    QTest::mouseClick(bar.Face(), Qt::RightButton, {}, bar.Layout().leftSwatch.center());
    QTest::mouseClick(bar.Face(), Qt::LeftButton, {}, QPoint(48, 380));
    EXPECT_EQ(app->GetColor1(), 56);
    EXPECT_EQ(app->GetColor2(), 97);
    EXPECT_EQ(changes.size(), 2);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Colours, TheBarIsPaintedFromTheCurrentColourTable) {
    StartApp({}, true);
    CColorBar& bar = Bar(false);
    const QRect white = bar.Layout().fields[18];  // index 15
    ASSERT_EQ(kColourFieldIndices[18], 15);
    EXPECT_EQ(Face(bar).pixelColor(white.center()), QColor(255, 255, 255));
    Command(ID_DAY_NIGHT);
    EXPECT_EQ(Face(bar).pixelColor(white.center()), QColor(95, 95, 95));
}

TEST_F(Colours, MovingOverTheBarDescribesTheColour) {
    StartApp({}, true);
    app->Settings().horizColorBar = true;
    app->MainFrame()->ApplyColourBarChoice(true);
    CColorBar& bar = Bar(true);
    ASSERT_TRUE(bar.isVisible());
    const CLanguageManager& language = app->GetLanguageManager();
    QTest::mouseMove(bar.Face(), FieldCentre(bar, 69));
    EXPECT_EQ(app->MainFrame()->MessageText(), QString::fromStdString(DescribeColour(language, 56)));
    QTest::mouseMove(bar.Face(), bar.Layout().rightSwatch.bottomRight());
    EXPECT_EQ(app->MainFrame()->MessageText(),
              QString::fromStdString(DescribeColour(language, app->GetColor2())));
    QTest::mouseMove(bar.Face(), QPoint(380, 50));
    EXPECT_EQ(app->MainFrame()->MessageText(), QString());
}

// Vertical bar: columns at x 2, 13, 24, 35 holding fields 0-31, 32-62, 63-75 (with gaps before
// 69 and 72) and 76-103. Horizontal bar: the same as rows.
TEST_F(Colours, ArrowKeysOnTheFocusedBarStepThroughTheFieldsAsShown) {
    ASSERT_TRUE(StartActiveApp());
    EXPECT_EQ(QApplication::focusWidget(), app->MainFrame());  // not yet the bar's
    struct Case {
        bool horizontal;
        int startField;  // clicked first, with the right button for Shift
        Qt::Key key;
        bool shift;
        int field;  // where the colour, left or right, is then
    };
    const Case cases[] = {
        {false, 0, Qt::Key_Down, false, 1},
        {false, 0, Qt::Key_Right, false, 32},  // the next column
        {false, 0, Qt::Key_Up, false, 0},      // edges stay
        {false, 0, Qt::Key_Left, false, 0},
        {false, 31, Qt::Key_Down, false, 31},
        {false, 103, Qt::Key_Right, false, 103},
        {false, 68, Qt::Key_Down, false, 69},   // over the gap to the special colours
        {false, 62, Qt::Key_Right, false, 75},  // the foot of the shorter column
        {false, 76, Qt::Key_Down, false, 77},   // 29 in its second field goes on from there
        {false, 3, Qt::Key_Down, false, 4},     // and from its first one from there
        {false, 70, Qt::Key_Up, true, 69},
        {false, 72, Qt::Key_Left, true, 47},  // same height
        {true, 0, Qt::Key_Right, false, 1},
        {true, 0, Qt::Key_Down, false, 32},
        {true, 68, Qt::Key_Right, false, 69},
        {true, 31, Qt::Key_Down, false, 62},  // the end of the shorter row
        {true, 103, Qt::Key_Down, false, 103},
        {true, 63, Qt::Key_Up, true, 32},
        {true, 72, Qt::Key_Left, true, 71},  // back over the gap
    };
    for (const Case& c : cases) {
        app->Settings().horizColorBar = c.horizontal;
        app->MainFrame()->ApplyColourBarChoice(true);
        CColorBar& bar = Bar(c.horizontal);
        QTest::mouseClick(bar.Face(), c.shift ? Qt::RightButton : Qt::LeftButton, {},
                          FieldCentre(bar, c.startField));
        const int other = c.shift ? app->GetColor1() : app->GetColor2();
        // A click on the title, or beside the fields, takes the focus; one on a field does not.
        EXPECT_FALSE(bar.Face()->hasFocus());
        if (QWidget* title = bar.titleBarWidget()) {
            QTest::mouseClick(title, Qt::LeftButton, {}, QPoint(2, 2));
        } else {
            QTest::mouseClick(bar.Face(), Qt::LeftButton, {}, QPoint(bar.Face()->width() - 2, 2));
        }
        ASSERT_TRUE(bar.Face()->hasFocus()) << c.startField;
        QTest::keyClick(bar.Face(), c.key, c.shift ? Qt::ShiftModifier : Qt::NoModifier);
        const int colour = kColourFieldIndices[static_cast<std::size_t>(c.field)];
        EXPECT_EQ(c.shift ? app->GetColor2() : app->GetColor1(), colour)
            << c.startField << " " << c.horizontal;
        EXPECT_EQ(c.shift ? app->GetColor1() : app->GetColor2(), other) << c.startField;
        EXPECT_EQ(app->MainFrame()->MessageText(),
                  QString::fromStdString(DescribeColour(app->GetLanguageManager(), colour)));
        // The focus shows: the left colour's field is framed, and only while the bar has the focus.
        if (!c.shift) {
            const QPoint frame =
                bar.Layout().fields[static_cast<std::size_t>(c.field)].topLeft() - QPoint(1, 1);
            EXPECT_EQ(Face(bar).pixelColor(frame), QColor(Qt::black)) << c.startField;
            bar.Face()->clearFocus();
            EXPECT_NE(Face(bar).pixelColor(frame), QColor(Qt::black)) << c.startField;
        }
        bar.Face()->clearFocus();
    }
}

// The title of the narrow vertical bar has a line of its own, wide enough for the whole word.
TEST_F(Colours, TheVerticalBarShowsItsWholeTitle) {
    StartApp({}, true);
    CColorBar& bar = Bar(false);
    QCoreApplication::processEvents();
    auto* title = bar.findChild<QLabel*>(QStringLiteral("ColourBarTitleText"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QStringLiteral("Farben"));
    EXPECT_GE(title->contentsRect().width(), title->fontMetrics().horizontalAdvance(title->text()));
    EXPECT_LE(title->mapTo(&bar, title->rect().bottomRight()).x(), bar.width());
    // Its buttons float and close the bar as the dock's own did.
    const QList<QToolButton*> buttons = bar.titleBarWidget()->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0]->accessibleName(), QStringLiteral("Farbleiste lösen oder andocken"));
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    EXPECT_TRUE(bar.isFloating());
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    EXPECT_FALSE(bar.isFloating());
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_TRUE(bar.isHidden());
}

TEST_F(Colours, ASwatchOpensTheColourChoiceWhichStoresBothColoursDirectly) {
    StartApp({}, true);
    app->Settings().undoByColorChange = true;
    CColorBar& bar = Bar(false);
    QSignalSpy changes(app.get(), &CBug1App::DrawingColoursChanged);
    test::OnModal<CColorDlg>([this](CColorDlg& dialog) {
        EXPECT_EQ(app->GetHelpContext(), 50040);
        EXPECT_EQ(dialog.LeftColor(), 15);
        EXPECT_EQ(dialog.RightColor(), 0);
        QTest::mouseClick(dialog.PaletteArea(), Qt::LeftButton, {}, dialog.FieldRect(2).center());
        QTest::mouseClick(dialog.PaletteArea(), Qt::RightButton, {}, dialog.FieldRect(76).center());
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok1")), Qt::LeftButton);
    });
    QTest::mouseClick(bar.Face(), Qt::LeftButton, {}, bar.Layout().rightSwatch.bottomRight());
    EXPECT_EQ(app->GetColor1(), 67);
    EXPECT_EQ(app->GetColor2(), 29);
    EXPECT_EQ(changes.size(), 0);  // stored without the side effects of a bar click
    // The bar shows the new colours.
    EXPECT_EQ(Face(bar).pixelColor(bar.Layout().leftSwatch.center()), DisplayColour(app->GetPalette(), 67));

    // Cancel keeps both; the command opens the same dialog.
    test::OnModal<CColorDlg>([](CColorDlg& dialog) {
        QTest::mouseClick(dialog.PaletteArea(), Qt::LeftButton, {}, dialog.FieldRect(5).center());
        dialog.reject();
    });
    Command(ID_CHOOSE_COLOURS);
    EXPECT_EQ(app->GetColor1(), 67);
}

TEST_F(Colours, TheColourDialogMarksAndDescribesItsFields) {
    StartApp();
    const CLanguageManager& language = app->GetLanguageManager();
    CColorDlg dialog(app->GetPalette(), language);
    dialog.SetColours(56, 56);
    for (int field = 0; field < kColourFieldCount; ++field) {
        EXPECT_EQ(dialog.FieldMark(field), field == 69 ? GetText(language, 1005, kDataSection) : QString())
            << field;
    }
    EXPECT_EQ(dialog.FieldMark(69), QStringLiteral("LR"));
    dialog.SetColours(15, 29);
    EXPECT_EQ(dialog.FieldMark(18), QStringLiteral("L"));
    EXPECT_EQ(dialog.FieldMark(3), QStringLiteral("R"));
    EXPECT_EQ(dialog.FieldMark(76), QStringLiteral("R"));  // 29 has two fields

    // Layout: a caption row above each group, the fields on the rows below.
    const QRect area = dialog.PaletteRect();
    EXPECT_EQ(dialog.CaptionY(0), area.top());
    EXPECT_EQ(dialog.FieldRect(0).topLeft(), QPoint(area.left(), area.top() + 20));
    EXPECT_EQ(dialog.FieldRect(1).left(), area.left() + 20);
    for (int group = 1; group < CColorDlg::kGroupCount; ++group) {
        EXPECT_GT(dialog.CaptionY(group), dialog.CaptionY(group - 1));
    }
    EXPECT_EQ(dialog.FieldRect(63).top(), dialog.CaptionY(1) + 20);
    EXPECT_EQ(dialog.FieldRect(63).left(), area.left());
    for (int field = 0; field < kColourFieldCount; ++field) {
        EXPECT_TRUE(area.contains(dialog.FieldRect(field))) << field;
    }

    // Clicks beside every field change nothing; the description follows the pointer.
    dialog.show();
    const QPoint beside(area.right() - 2, dialog.FieldRect(63).center().y());
    ASSERT_EQ(dialog.FieldAt(beside), -1);
    QTest::mouseClick(dialog.PaletteArea(), Qt::LeftButton, {}, beside);
    QTest::mouseClick(dialog.PaletteArea(), Qt::RightButton, {}, beside);
    EXPECT_EQ(dialog.LeftColor(), 15);
    EXPECT_EQ(dialog.RightColor(), 29);
    QTest::mouseMove(dialog.PaletteArea(), dialog.FieldRect(70).center());
    EXPECT_EQ(dialog.Description(), QString::fromStdString(DescribeColour(language, 97)));
    QTest::mouseMove(dialog.PaletteArea(), beside);
    EXPECT_EQ(dialog.Description(), QString());

    // Painted from the current colour table: the day/night button recolours the fields.
    int steps = 0;
    dialog.SetDayNightHandler([&] {
        ++steps;
        app->GetPalette().StepDayNight(app->Settings().transCol, app->Settings().transCol2);
    });
    const QPoint white = dialog.FieldRect(18).bottomLeft() + QPoint(2, -2);
    EXPECT_EQ(dialog.PaletteArea()->grab().toImage().pixelColor(white), QColor(255, 255, 255));
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("button1008")), Qt::LeftButton);
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(dialog.PaletteArea()->grab().toImage().pixelColor(white), QColor(95, 95, 95));
}

// Rows of 32 fields: 0-31 and 32-62, then each group on a row of its own below its caption.
TEST_F(Colours, TheColourDialogsFieldsTakeTheArrowKeys) {
    StartApp();
    CColorDlg dialog(app->GetPalette(), app->GetLanguageManager());
    dialog.SetColours(15, 56);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_TRUE(dialog.PaletteArea()->hasFocus());  // the fields have the focus from the start
    struct Case {
        int startField;  // clicked first, with the right button for Shift
        Qt::Key key;
        bool shift;
        int field;
    };
    const Case cases[] = {
        {0, Qt::Key_Right, false, 1},  {0, Qt::Key_Down, false, 32},   {0, Qt::Key_Up, false, 0},
        {31, Qt::Key_Down, false, 62}, {62, Qt::Key_Down, false, 68},  // the lights' row is short
        {32, Qt::Key_Down, false, 63}, {75, Qt::Key_Right, false, 75}, {71, Qt::Key_Left, false, 70},
        {76, Qt::Key_Up, true, 72},    {103, Qt::Key_Down, true, 103}, {79, Qt::Key_Right, true, 80},
    };
    for (const Case& c : cases) {
        QTest::mouseClick(dialog.PaletteArea(), c.shift ? Qt::RightButton : Qt::LeftButton, {},
                          dialog.FieldRect(c.startField).center());
        const int other = c.shift ? dialog.LeftColor() : dialog.RightColor();
        QTest::keyClick(dialog.PaletteArea(), c.key, c.shift ? Qt::ShiftModifier : Qt::NoModifier);
        const int colour = kColourFieldIndices[static_cast<std::size_t>(c.field)];
        EXPECT_EQ(c.shift ? dialog.RightColor() : dialog.LeftColor(), colour) << c.startField;
        EXPECT_EQ(c.shift ? dialog.LeftColor() : dialog.RightColor(), other) << c.startField;
        EXPECT_EQ(dialog.Description(),
                  QString::fromStdString(DescribeColour(app->GetLanguageManager(), colour)));
        if (!c.shift) {
            const QPoint frame = dialog.FieldRect(c.field).topLeft() - QPoint(2, 2);
            EXPECT_EQ(dialog.PaletteArea()->grab().toImage().pixelColor(frame), QColor(Qt::black))
                << c.startField;
        }
    }
    // Return still confirms the dialog.
    QTest::keyClick(dialog.PaletteArea(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// The colour choice's export button writes the colours shown in the format of the extension;
// a name typed without one gets that of the chosen file type.
TEST_F(Colours, TheColourDialogExportsThePaletteItShows) {
    StartApp({}, true);
    const QString dir = QString::fromStdString(folder.Path().string()) + QLatin1Char('/');
    const QByteArray gimp = "GIMP Palette\nName: TRAK-Farben (Tag)\nColumns: 10\n";
    struct Case {
        const char* typed;
        int fileType;  // Down presses in the file type list
        int dayNightSteps;
        const char* written;
        qsizetype at;
        QByteArray expected;  // at that place in the file; empty: no file
        std::vector<int> messages;
        rlim_t sizeLimit = RLIM_INFINITY;
    };
    const Case cases[] = {
        {"tag.gpl", 0, 0, "tag.gpl", 0, gimp, {}},
        {"tag", 1, 0, "tag.pal", 0, "JASC-PAL\r\n0100\r\n100\r\n0 0 0\r\n", {}},
        {"tag", 3, 0, "tag.png", 0, "\x89PNG", {}},
        {"nacht.hex", 0, 1, "nacht.hex", 15 * 7, "5f5f5f\n", {}},  // white is grey at night
        {"tag.txt", 0, 0, "tag.txt", 0, {}, {140}},
        // Replacing a file asks first; a failed write leaves the old file and says so.
        {"tag.gpl", 0, 0, "tag.gpl", 0, gimp, {303, 4}, 0},
    };
    for (const Case& c : cases) {
        messages.entries.clear();
        messages.answers = {kAnswerYes};
        test::OnModal<CColorDlg>([&](CColorDlg& dialog) {
            for (int i = 0; i < c.dayNightSteps; ++i) {
                QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("button1008")),
                                  Qt::LeftButton);
            }
            test::OnModal<QFileDialog>([&](QFileDialog& files) {
                auto* types = files.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                ASSERT_EQ(types->count(), 4);
                for (int i = 0; i < c.fileType; ++i) {
                    QTest::keyClick(types, Qt::Key_Down);
                }
                files.selectFile(dir + QLatin1String(c.typed));
                static_cast<QDialog&>(files).accept();
            });
            test::WithFileSizeLimit(c.sizeLimit, [&] {
                QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("exportPalette")),
                                  Qt::LeftButton);
            });
            for (int i = c.dayNightSteps; i % 4 != 0; ++i) {
                QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("button1008")),
                                  Qt::LeftButton);
            }
            dialog.reject();
        });
        Command(ID_CHOOSE_COLOURS);
        QFile file(dir + QLatin1String(c.written));
        EXPECT_EQ(file.exists(), !c.expected.isEmpty()) << c.written;
        EXPECT_EQ(file.open(QIODevice::ReadOnly) ? file.readAll().mid(c.at, c.expected.size()) : QByteArray(),
                  c.expected)
            << c.written;
        EXPECT_EQ(messages.Numbers(), c.messages) << c.written;
    }
    EXPECT_EQ(app->Settings().exportFolder, dir.toStdString());  // where the next export starts
}

TEST_F(Colours, TheColourSettingsChooseColoursFaceAndSize) {
    StartApp();
    const CLanguageManager& language = app->GetLanguageManager();
    CColorSettings::Values values;
    values.colours[CColorSettings::SceneryBackground] = {1, 2, 3};
    values.fontSize = 95;
    const QStringList faces = CColorSettings::FontFaces();
    ASSERT_FALSE(faces.isEmpty());
    {
        CColorSettings dialog(language, values, faces.back());
        EXPECT_EQ(app->GetHelpContext(), 50100);
        auto* sizes = dialog.findChild<QComboBox*>(QStringLiteral("combo1057"));
        ASSERT_EQ(sizes->count(), 14);
        EXPECT_EQ(sizes->itemText(0), QStringLiteral(" 6"));
        EXPECT_EQ(sizes->itemText(13), QStringLiteral("19"));
        EXPECT_EQ(sizes->currentText(), QStringLiteral(" 9"));
        EXPECT_EQ(dialog.GetValues().fontSize, 90);
        EXPECT_EQ(dialog.GetValues().fontFace, faces.back());
        EXPECT_EQ(dialog.Button(CColorSettings::SceneryBackground)->Colour(), QColor(1, 2, 3));

        int prompts = 0;
        dialog.SetColourPrompt([&](const QColor& initial) -> std::optional<QColor> {
            EXPECT_EQ(app->GetHelpContext(), 50160);
            EXPECT_EQ(initial, QColor(1, 2, 3));
            return ++prompts == 1 ? std::optional<QColor>(QColor(10, 20, 30)) : std::nullopt;
        });
        dialog.show();
        QTest::mouseClick(dialog.Button(CColorSettings::SceneryBackground), Qt::LeftButton);
        EXPECT_EQ(app->GetHelpContext(), 50100);
        EXPECT_EQ(dialog.GetValues().colours[CColorSettings::SceneryBackground], (Rgb{10, 20, 30}));
        dialog.Button(CColorSettings::SceneryBackground)->SetColour(QColor(1, 2, 3));
        QTest::mouseClick(dialog.Button(CColorSettings::SceneryBackground), Qt::LeftButton);  // cancelled
        EXPECT_EQ(dialog.GetValues().colours[CColorSettings::SceneryBackground], (Rgb{10, 20, 30}));
        sizes->setCurrentIndex(12);
        EXPECT_EQ(dialog.GetValues().fontSize, 180);
    }
    // A size outside the list leaves the first entry; a face the list lacks keeps the given one.
    values.fontSize = 250;
    values.fontFace = QStringLiteral("Keine Schrift dieses Namens");
    CColorSettings dialog(language, values, QStringLiteral("Keine Schrift dieses Namens"));
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok1")), Qt::LeftButton);
    EXPECT_EQ(dialog.GetValues().fontSize, 60);
    EXPECT_EQ(dialog.GetValues().fontFace, QStringLiteral("Keine Schrift dieses Namens"));
}

TEST_F(Colours, TheColourSettingsCommandRenewsBrushesAndFont) {
    StartApp();
    const QString face = CColorSettings::FontFaces().front();
    test::OnModal<CColorSettings>([&](CColorSettings& dialog) {
        dialog.SetColourPrompt([](const QColor&) { return std::optional<QColor>(QColor(200, 100, 50)); });
        QTest::mouseClick(dialog.Button(CColorSettings::VehicleBackground), Qt::LeftButton);
        dialog.findChild<QComboBox*>(QStringLiteral("combo1058"))->setCurrentText(face);
        dialog.findChild<QComboBox*>(QStringLiteral("combo1057"))->setCurrentIndex(5);
        dialog.accept();
    });
    Command(ID_OPTIONS_COLOURS);
    EXPECT_EQ(app->Settings().fgsvBg, (Rgb{200, 100, 50}));
    EXPECT_EQ(app->Brush(CBug1App::BrushKind::VehicleView).color(), QColor(200, 100, 50));
    EXPECT_EQ(app->Settings().fontSize, 110);
    EXPECT_EQ(app->Settings().fontFace, face.toStdString());
    EXPECT_DOUBLE_EQ(app->MainFrame()->SharedFont().pointSizeF(), 11.0);
    EXPECT_EQ(app->MainFrame()->SharedFont().family(), face);
}

TEST(PaletteDisplay, IndexedStripsDrawOnlyKindsOneAndTwo) {
    Palette palette;
    std::vector<std::uint8_t> pixels(5 * 14, 15);
    pixels[0] = 4;     // top left
    pixels[69] = 200;  // bottom right: no colour
    QImage target(8, 16, QImage::Format_RGB32);
    const auto draw = [&](int kind, int width, std::span<const std::uint8_t> buffer) {
        target.fill(Qt::blue);
        QPainter painter(&target);
        return DrawIndexedStrip(kind, width, buffer, painter, QPoint(1, 1), palette);
    };
    for (const int kind : {0, 3, -1}) {
        EXPECT_FALSE(draw(kind, 5, pixels));
        EXPECT_EQ(target.pixelColor(1, 1), QColor(Qt::blue));
    }
    EXPECT_FALSE(draw(1, 0, pixels));
    EXPECT_FALSE(draw(2, 6, pixels));  // the buffer is too short for 6 x 14
    EXPECT_EQ(target.pixelColor(1, 1), QColor(Qt::blue));

    EXPECT_TRUE(draw(2, 5, pixels));
    EXPECT_EQ(target.pixelColor(1, 1), QColor(168, 0, 0));
    EXPECT_EQ(target.pixelColor(2, 1), QColor(255, 255, 255));
    EXPECT_EQ(target.pixelColor(5, 14), QColor(0, 0, 0));
    EXPECT_EQ(target.pixelColor(6, 1), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(1, 15), QColor(Qt::blue));

    const QList<QRgb> table = DisplayColourTable(palette);
    EXPECT_EQ(table.size(), 256);
    EXPECT_EQ(table[56], qRgb(0, 112, 0));
    EXPECT_EQ(table[255], qRgb(0, 0, 0));
    EXPECT_EQ(CreatePaletteBitmap(palette, 3, 2).colorTable(), table);
    EXPECT_TRUE(CreatePaletteBitmap(palette, 0, 2).isNull());
}

}  // namespace
}  // namespace zobl
