// Arbitrary bytes as a PNG to turn into a scenery graphic.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/common/MessageError.h"
#include "core/scenery/SceneryDocument.h"
#include "tool/SceneryPng.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static zobl::SceneryDocument doc;
    try {
        zobl::SceneryFromPng(std::span(data, size), "fuzz.png", doc);
    } catch (const zobl::MessageError&) {
    }
    return 0;
}
