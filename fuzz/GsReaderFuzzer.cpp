// Arbitrary bytes through the .gs reader. A file is either refused with error 2 or 4 and leaves
// the document alone, or it is read; what was read writes as version 7 and reads back to the
// same bytes. So does the readable part of a file refused with error 4.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "FuzzCheck.h"
#include "core/common/MessageError.h"
#include "core/scenery/GsFile.h"
#include "core/scenery/SceneryDocument.h"

using zobl::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One pair serves every input, as the reader allows: a refused file leaves the document as it
    // was, a read one replaces all of it. The written form of doc is kept between inputs: it
    // changes only when a read succeeds.
    static zobl::SceneryDocument doc;
    static zobl::SceneryDocument copy;
    static std::vector<std::uint8_t> docBytes = zobl::WriteGs(doc);

    try {
        zobl::ReadGs(std::span(data, size), "input.gs", doc);
    } catch (const zobl::MessageError& error) {
        Check(error.Number() == zobl::message::kUnsupportedFormat ||
              error.Number() == zobl::message::kFileError);
        Check(zobl::WriteGs(doc) == docBytes);
        // A damaged scenery file may still give a whole document; other data give nothing.
        if (zobl::ReadGsReadablePart(std::span(data, size), copy)) {
            Check(error.Number() == zobl::message::kFileError);
            const std::vector<std::uint8_t> written = zobl::WriteGs(copy);
            Check(zobl::ReadGs(written, "written.gs", copy) == zobl::GsLayout::Version7);
            Check(zobl::WriteGs(copy) == written);
        }
        return 0;
    }
    Check(!doc.IsModified() && !doc.CanUndo());

    docBytes = zobl::WriteGs(doc);
    Check(zobl::ReadGs(docBytes, "written.gs", copy) == zobl::GsLayout::Version7);
    Check(zobl::WriteGs(copy) == docBytes);
    return 0;
}
