#include "png/SceneryPng.h"

#include "core/scenery/SceneryDocument.h"
#include "png/IndexedPng.h"

namespace zobl {

using namespace scenery;

std::vector<std::uint8_t> SceneryToPng(const SceneryDocument& doc, int dayNightState) {
    return EncodeIndexedPng(kStoreWidth, kStoreHeight, SceneryToSheet(doc), dayNightState);
}

SheetPixels ReadScenerySheet(std::span<const std::uint8_t> png, const std::string& fileName,
                             const SceneryDocument* current, bool nearest) {
    const std::vector<std::uint8_t> now = current ? SceneryToSheet(*current) : std::vector<std::uint8_t>{};
    return ReadSheetPixels(png, fileName, {kStoreWidth, kStoreHeight}, "a scenery sheet", now, nearest);
}

SceneryFromPngResult SceneryFromPng(std::span<const std::uint8_t> png, const std::string& fileName,
                                    SceneryDocument& doc, bool nearest) {
    SheetPixels sheet = ReadScenerySheet(png, fileName, nullptr, nearest);
    // Nothing can fail from here on: the caller's document is replaced only now.
    doc.Initialise();
    return {SheetToScenery(sheet.indices, doc), sheet.mapped};
}

}  // namespace zobl
