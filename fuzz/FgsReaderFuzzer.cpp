// Arbitrary bytes through the vehicle file reader, then through the writer, the undo snapshots
// and the export writers with whatever the reader kept.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "FuzzCheck.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/VehicleDocument.h"
#include "core/vehicles/VehicleExport.h"

namespace {

using namespace zobl;

using zobl::fuzz::Check;

// The reader may keep damaged content, but never content the model cannot hold.
void CheckModel(const VehicleDocument& doc) {
    const int sets = doc.CountSets();
    for (int s = 0; s < vehicles::kMaxSets; ++s) {
        const VehicleSet& set = doc.Set(s);
        Check(set.IsUsed() == (s < sets));
        Check(set.carCount >= 0 && set.carCount <= (set.IsUsed() ? vehicles::kMaxCars : 0));
        for (int c = 0; c < vehicles::kMaxCars; ++c) {
            const Car& car = set.cars[std::size_t(c)];
            Check(car.setIndex == s && car.carIndex == c);
            const bool used = c < set.carCount;
            Check(car.IsUsed() == used);
            Check(used ? vehicles::IsValidCarLength(car.length) : car.length == 0);
            for (int view = 0; view < vehicles::kViewCount; ++view) {
                Check(car.planes[std::size_t(view)].size() ==
                      (used ? vehicles::PlaneSize(view, car.length) : 0));
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One pair for all runs: every read replaces the whole content and empties the history, so
    // nothing of an earlier input survives (the undo buffers one made are reused).
    static VehicleDocument doc;
    static VehicleDocument again;
    static const FgsDefaults defaults{"unbekannt", "Keine Infos vorhanden"};

    const FgsReadResult result = ReadFgs(std::span(data, size), defaults, doc);
    Check(result.damaged != result.detail.empty());
    CheckModel(doc);

    // What was kept is written and read back unchanged (a set too long stays reported).
    const std::vector<std::uint8_t> written = WriteFgs(doc);
    const FgsReadResult reread = ReadFgs(written, defaults, again);
    bool overlong = false;
    for (int s = 0; s < doc.CountSets(); ++s) {
        overlong = overlong || doc.TotalSetLength(s) > vehicles::kMaxSetLength;
    }
    Check(reread.damaged == overlong);
    Check(WriteFgs(again) == written);

    // A change and its undo go through a snapshot of whatever was read.
    if (doc.CountCars(0) > 0) {
        const PaletteIndex before = doc.GetPixel(0, 0, 1, 0, 0);
        Check(doc.SetPixel(0, 0, 1, 0, 0, PaletteIndex((before + 1) % kPaletteSize), false,
                           MouseMode::Freehand));
        Check(doc.DeleteVehicleSet(0, false, MouseMode::Line));
        Check(doc.Undo() && doc.Undo());
        Check(doc.GetPixel(0, 0, 1, 0, 0) == before);
        Check(WriteFgs(doc) == written);
    }

    if (!CheckVehicleExport(doc)) {
        const auto ufg = UfgWriter(doc, "Kopf %d");
        const auto uzz = UzzWriter(doc);
        Check(ufg.has_value() == doc.AnyCars() && uzz.has_value() == doc.AnyCars());
    }
    return 0;
}
