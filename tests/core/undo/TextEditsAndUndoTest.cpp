#include <gtest/gtest.h>

#include <functional>

#include "core/drawing/MouseMode.h"
#include "core/scenery/SceneryDocument.h"
#include "core/vehicles/VehicleDocument.h"

namespace zobl {
namespace {

constexpr MouseMode kFreehand = MouseMode::Freehand;
constexpr MouseMode kView = MouseMode::View;

// The author and info texts are not in the undo snapshots: after a text edit no undo may make
// the document look saved, or closing would lose the edit without asking. Only a save (or a
// load) ends it.
template <typename Document>
void TextEditKeepsTheDocumentModified(const std::function<void(Document&, PaletteIndex)>& draw,
                                      const std::function<void(Document&)>& editText) {
    Document doc;
    draw(doc, 17);
    doc.CloseUndoGroup();
    doc.SetModified(false);  // saved
    editText(doc);
    EXPECT_TRUE(doc.IsModified());
    while (doc.Undo()) {
        EXPECT_TRUE(doc.IsModified());
    }
    EXPECT_TRUE(doc.IsModified());
    doc.CloseUndoGroup();
    doc.SetModified(false);  // saved again
    EXPECT_FALSE(doc.IsModified());
    draw(doc, 18);
    EXPECT_TRUE(doc.IsModified());
    while (doc.Undo()) {
    }
    EXPECT_FALSE(doc.IsModified());  // drawings alone are undone to the saved state
}

TEST(TextEditsAndUndo, SceneryDocument) {
    TextEditKeepsTheDocumentModified<SceneryDocument>(
        [](SceneryDocument& doc, PaletteIndex colour) {
            doc.PrepareChange(kFreehand);
            doc.SetPixel(1, 3, 2, 2, colour, kFreehand);
        },
        [](SceneryDocument& doc) {
            // As the info command does it: a snapshot, the text, the mark.
            doc.PrepareChange(kView);
            doc.SetInfoText("Neu");
            doc.MarkTextsEdited();
        });
}

TEST(TextEditsAndUndo, VehicleDocument) {
    TextEditKeepsTheDocumentModified<VehicleDocument>(
        [](VehicleDocument& doc, PaletteIndex colour) {
            if (doc.CountSets() == 0) {
                ASSERT_TRUE(doc.AddVehicleSet("S", kFreehand));
                ASSERT_TRUE(doc.AddCar(0, 0, "W", "", "", 2, nullptr, kFreehand));
            }
            doc.SetPixel(0, 0, 1, 1, 1, colour, false, kFreehand);
        },
        [](VehicleDocument& doc) { doc.SetAuthor("Jemand"); });
}

// The change count tells the recovery copies whether a document changed since its last copy:
// every edit, text edit, undo and redo moves it on; reading, a refused undo and a save do not.
TEST(TextEditsAndUndo, EveryChangeMovesTheChangeCountOn) {
    SceneryDocument doc;
    const struct {
        const char* what;
        std::function<void()> action;
        bool counts;
    } cases[] = {
        {"a pixel", [&] { doc.SetPixel(0, 0, 1, 1, 17, kFreehand); }, true},
        {"a second pixel in the same step", [&] { doc.SetPixel(0, 0, 2, 1, 17, kFreehand); }, true},
        {"reading a pixel", [&] { (void)doc.GetPixel(0, 0, 1, 1); }, false},
        {"undo", [&] { doc.Undo(); }, true},
        {"an undo with nothing to undo", [&] { doc.Undo(); }, false},
        {"redo", [&] { doc.Redo(kFreehand); }, true},
        {"saved", [&] { doc.SetModified(false); }, false},
        {"a text edit", [&] { doc.MarkTextsEdited(); }, true},
        {"marked modified", [&] { doc.SetModified(true); }, true},
    };
    for (const auto& c : cases) {
        const std::uint64_t before = doc.ChangeCount();
        c.action();
        EXPECT_EQ(doc.ChangeCount() != before, c.counts) << c.what;
    }
}

}  // namespace
}  // namespace zobl
