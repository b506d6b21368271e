#include <gtest/gtest.h>

#include <functional>

#include "core/scenery/SceneryDocument.h"
#include "core/vehicles/VehicleDocument.h"

namespace zobl {
namespace {

constexpr int kFreehand = 1;
constexpr int kView = 0;

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

}  // namespace
}  // namespace zobl
