#include "core/settings/DesktopRecord.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "core/common/ByteReader.h"
#include "core/common/ByteWriter.h"

namespace zobl {

namespace {

using desktop::kDocumentRecordSize;
using desktop::kHeaderSize;
using desktop::kPathFieldSize;
using desktop::kViewRecordSize;

void WritePlacement(ByteWriter& out, const WindowPlacement& p) {
    for (std::int32_t value :
         {p.length, p.flags, p.showCommand, p.minPositionX, p.minPositionY, p.maxPositionX, p.maxPositionY,
          p.normalLeft, p.normalTop, p.normalRight, p.normalBottom}) {
        out.I32(value);
    }
}

WindowPlacement ReadPlacement(ByteReader& in) {
    WindowPlacement p;
    for (std::int32_t* field :
         {&p.length, &p.flags, &p.showCommand, &p.minPositionX, &p.minPositionY, &p.maxPositionX,
          &p.maxPositionY, &p.normalLeft, &p.normalTop, &p.normalRight, &p.normalBottom}) {
        *field = in.I32();
    }
    return p;
}

// Paths that cannot be stored faithfully are stored empty (see the header).
bool FitsPathField(std::string_view path) {
    return path.size() < kPathFieldSize && path.find('\0') == std::string_view::npos;
}

// 272 + 68 x views, in 64 bits so that any count read from a record is safe to put in.
std::int64_t DocumentLength(std::int64_t views) {
    return std::int64_t(kDocumentRecordSize) + std::int64_t(kViewRecordSize) * views;
}

std::optional<DesktopDocument> ReadDocument(ByteReader& in) {
    DesktopDocument doc;
    const std::int32_t length = in.I32();
    doc.kindFlags = in.I32();
    const auto field = in.View(kPathFieldSize);
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    if (end == field.end()) {
        return std::nullopt;
    }
    doc.path.assign(field.begin(), end);
    const std::int32_t viewCount = in.I32();
    if (viewCount < 0 || length != DocumentLength(viewCount) ||
        std::size_t(viewCount) > in.Remaining() / kViewRecordSize) {
        return std::nullopt;
    }
    doc.views.reserve(std::size_t(viewCount));
    for (std::int32_t i = 0; i < viewCount; ++i) {
        if (in.I32() != std::int32_t(kViewRecordSize) || in.I32() != 0) {
            return std::nullopt;
        }
        DesktopView& view = doc.views.emplace_back();
        view.placement = ReadPlacement(in);
        view.state.zoom = in.I32();
        view.state.scrollX = in.I32();
        view.state.scrollY = in.I32();
        view.state.selectedEntry = in.I32();
    }
    return doc;
}

std::optional<DesktopRecord> ReadRecord(ByteReader& in) {
    if (in.Size() < kHeaderSize || in.Size() > std::size_t(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    DesktopRecord record;
    if (in.I32() != std::int32_t(in.Size()) || in.I32() != 0) {
        return std::nullopt;
    }
    record.mainWindow = ReadPlacement(in);
    const std::int32_t documentCount = in.I32();
    if (documentCount < 0 || std::size_t(documentCount) > in.Remaining() / kDocumentRecordSize) {
        return std::nullopt;
    }
    record.documents.reserve(std::size_t(documentCount));
    for (std::int32_t i = 0; i < documentCount; ++i) {
        std::optional<DesktopDocument> doc = ReadDocument(in);
        if (!doc) {
            return std::nullopt;
        }
        record.documents.push_back(std::move(*doc));
    }
    if (!in.AtEnd()) {
        return std::nullopt;
    }
    return record;
}

}  // namespace

std::vector<std::uint8_t> WriteDesktopRecord(const DesktopRecord& record) {
    std::size_t viewCount = 0;
    for (const DesktopDocument& doc : record.documents) {
        viewCount += doc.views.size();
    }
    // Counted in 64 bits: the sum of the sizes cannot wrap for any record that fits in memory.
    const std::uint64_t total = std::uint64_t(kHeaderSize) +
                                std::uint64_t(kDocumentRecordSize) * record.documents.size() +
                                std::uint64_t(kViewRecordSize) * viewCount;
    if (total > std::uint64_t(std::numeric_limits<std::int32_t>::max())) {
        throw std::length_error("desktop record longer than 2^31 - 1 bytes");
    }

    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(total));
    ByteWriter out(bytes);
    out.I32(std::int32_t(total));
    out.I32(0);
    WritePlacement(out, record.mainWindow);
    out.I32(std::int32_t(record.documents.size()));
    for (const DesktopDocument& doc : record.documents) {
        out.I32(std::int32_t(DocumentLength(std::int64_t(doc.views.size()))));
        out.I32(doc.kindFlags);
        const std::string_view path =
            FitsPathField(doc.path) ? std::string_view(doc.path) : std::string_view();
        out.Text(path);
        out.Fill(kPathFieldSize - path.size(), 0);
        out.I32(std::int32_t(doc.views.size()));
        for (const DesktopView& view : doc.views) {
            out.I32(std::int32_t(kViewRecordSize));
            out.I32(0);
            WritePlacement(out, view.placement);
            out.I32(view.state.zoom);
            out.I32(view.state.scrollX);
            out.I32(view.state.scrollY);
            out.I32(view.state.selectedEntry);
        }
    }
    return bytes;
}

std::optional<DesktopRecord> ReadDesktopRecord(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    try {
        return ReadRecord(in);
    } catch (const ByteReaderError&) {
        // The checks above should leave nothing for the reader to catch; a short record is refused
        // all the same.
        return std::nullopt;
    }
}

bool IsEmptyDesktopPath(std::string_view path) noexcept {
    return path.empty() || path == "\"\"";
}

}  // namespace zobl
