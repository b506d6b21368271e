#include "core/vehicles/FgsFile.h"

#include <algorithm>
#include <filesystem>

#include "core/common/AtomicFile.h"
#include "core/common/ByteReader.h"
#include "core/common/ByteWriter.h"
#include "core/lang/LanguageManager.h"
#include "core/text/CodePages.h"
#include "core/vehicles/VehicleDocument.h"
#include "core/vehicles/VehicleModel.h"

namespace zobl {

using namespace vehicles;

namespace {

// Planes follow each car in this order.
constexpr int kFilePlaneOrder[] = {0, 3, 2, 1};
constexpr int kCheckWordsPerSet = 4;
constexpr int kCheckWordsPerCar = 3;
constexpr std::size_t kSegmentFlagBytes = 2 * kViewCount * kMaxSegments;

class FgsParser {
public:
    FgsParser(std::span<const std::uint8_t> bytes, const FgsDefaults& defaults, VehicleContent& content,
              FgsReadResult& result)
        : bytes_(bytes), in_(bytes), defaults_(defaults), content_(content), result_(result) {}

    void Parse() {
        try {
            if (!ParseHeader()) {
                return;
            }
            const int sets = in_.U16();
            for (int s = 0; s < sets; ++s) {
                if (s >= kMaxSets) {
                    // Nothing after the tenth set could be kept.
                    Damage("more than " + std::to_string(kMaxSets) + " sets");
                    break;
                }
                ParseSet(content_.sets[std::size_t(s)]);
            }
        } catch (const ByteReaderError& error) {
            Damage(std::string("the file ends early (") + error.what() + ")");
        }
        for (const VehicleSet& set : content_.sets) {
            if (set.TotalLength() > kMaxSetLength) {
                Damage("a set is longer than " + std::to_string(kMaxSetLength) + " length units");
                break;
            }
        }
    }

private:
    void Damage(const std::string& detail) {
        if (!result_.damaged) {
            result_.damaged = true;
            result_.detail = detail;
        }
    }

    template <std::size_t N>
    void ReadField(FixedText<N>& text, std::size_t size = N) {
        const auto field = in_.View(size);
        text.Assign(std::string_view(reinterpret_cast<const char*>(field.data()), field.size()));
    }

    void CheckWords(int count, const char* what) {
        for (int i = 0; i < count; ++i) {
            if (in_.U16() != 0) {
                Damage(std::string("non-zero check word in a ") + what + " record");
            }
        }
    }

    void SkipString() {
        while (in_.U8() != 0) {
        }
    }

    bool ParseHeader() {
        const auto end = std::find(bytes_.begin(), bytes_.end(), fgs::kEndMark);
        if (end == bytes_.end()) {
            Damage("no end-of-text byte");
            return false;
        }
        in_.Seek(std::size_t(end - bytes_.begin()) + 1);
        const auto magic = in_.View(fgs::kMagic.size());
        if (!std::equal(magic.begin(), magic.end(), fgs::kMagic.begin())) {
            Damage("not a vehicle graphics file");
            return false;
        }
        in_.U16();
        in_.U16();
        const std::uint16_t headerFlag = in_.U16();
        if (headerFlag == 1) {
            ReadField(content_.author);
            ReadField(content_.description);
            const std::uint16_t infoLength = in_.U16();
            if (infoLength > fgs::kMaxInfoLength) {
                Damage("info text of " + std::to_string(infoLength) + " bytes");
            }
            // Assign keeps at most 2047 bytes of an overlong text.
            ReadField(content_.infoText, infoLength);
            result_.keptContent = true;
        } else {
            if (headerFlag != 0) {
                Damage("header flag " + std::to_string(headerFlag));
            }
            content_.author.Assign(Utf8ToCp1252(defaults_.authorUtf8));
            content_.description.Clear();
            content_.infoText.Assign(Utf8ToCp1252(defaults_.infoTextUtf8));
        }
        in_.U16();
        in_.U16();
        in_.Skip(in_.U16());
        SkipString();
        SkipString();
        return true;
    }

    void ParseSet(VehicleSet& set) {
        const int cars = in_.U8();
        CheckWords(kCheckWordsPerSet, "set");
        ReadField(set.name);
        if (set.name.Empty()) {
            // A nameless set would read as a free slot with cars in it.
            set.name.Assign(kEmptyNameReplacement);
        }
        result_.keptContent = true;
        for (int c = 0; c < cars; ++c) {
            if (c == kMaxCars) {
                Damage("more than " + std::to_string(kMaxCars) + " cars in a set");
            }
            ParseCar(set);
        }
    }

    // A car beyond the eighth slot, or of an impossible length, is read past and dropped.
    void ParseCar(VehicleSet& set) {
        Car car;
        const int length = in_.U8();
        if (in_.U16() != 0) {
            const auto flags = in_.View(kSegmentFlagBytes);
            std::size_t at = 0;
            for (auto& view : car.segmentFlags) {
                for (std::uint16_t& word : view) {
                    word = std::uint16_t(flags[at] | (flags[at + 1] << 8));
                    at += 2;
                }
            }
        }
        CheckWords(kCheckWordsPerCar, "car");
        ReadField(car.name);
        ReadField(car.text2);
        ReadField(car.text3);
        if (car.name.Empty()) {
            car.name.Assign(kEmptyNameReplacement);
        }
        car.carFlags = in_.U32();

        if (!IsValidCarLength(length)) {
            Damage("car length " + std::to_string(length));
            in_.Skip(kPlaneBytesPerUnit * std::size_t(length));
            return;
        }
        car.length = length;
        car.AllocatePlanes();
        Car* target = &car;
        if (set.carCount < kMaxCars) {
            // Kept before the planes are read: a file cut short inside them keeps the car with
            // the pixels that are there.
            target = &set.cars[std::size_t(set.carCount++)];
            *target = std::move(car);
        }
        for (const int view : kFilePlaneOrder) {
            auto& plane = target->planes[std::size_t(view)];
            const std::size_t available = std::min(plane.size(), in_.Remaining());
            const auto bytes = in_.View(available);
            std::copy(bytes.begin(), bytes.end(), plane.begin());
            if (available < plane.size()) {
                in_.Skip(plane.size());  // throws: the file ends inside the planes
            }
        }
    }

    std::span<const std::uint8_t> bytes_;
    ByteReader in_;
    const FgsDefaults& defaults_;
    VehicleContent& content_;
    FgsReadResult& result_;
};

std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

template <std::size_t N>
void WriteField(ByteWriter& out, const FixedText<N>& text) {
    const auto& field = text.Field();
    out.Bytes(std::span(reinterpret_cast<const std::uint8_t*>(field.data()), field.size()));
}

}  // namespace

FgsDefaults FgsDefaultsFrom(const CLanguageManager& language) {
    return {language.GetText(fgs::kDefaultAuthorKey, "DATA"), language.GetText(fgs::kDefaultInfoKey, "DATA")};
}

bool HasFgsMagic(std::span<const std::uint8_t> bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), fgs::kEndMark);
    if (end == bytes.end() || std::size_t(bytes.end() - end - 1) < fgs::kMagic.size()) {
        return false;
    }
    return std::equal(fgs::kMagic.begin(), fgs::kMagic.end(), end + 1);
}

FgsReadResult ReadFgsContent(std::span<const std::uint8_t> bytes, const FgsDefaults& defaults,
                             VehicleContent& content) {
    content.Clear();
    FgsReadResult result;
    FgsParser(bytes, defaults, content, result).Parse();
    return result;
}

FgsReadResult ReadFgs(std::span<const std::uint8_t> bytes, const FgsDefaults& defaults,
                      VehicleDocument& doc) {
    FgsReadResult result;
    doc.ReadContent([&](VehicleContent& content) { FgsParser(bytes, defaults, content, result).Parse(); });
    return result;
}

FgsReadResult ReadFgsFile(const std::string& path, const FgsDefaults& defaults, VehicleDocument& doc) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    return ReadFgs(bytes, defaults, doc);
}

MessageError FgsNotAVehicleFileError(const std::string& path) {
    return MessageError(message::kUnsupportedFormat, FileNameOf(path), "not a vehicle file");
}

MessageError FgsDamageError(const std::string& path, const FgsReadResult& result) {
    return MessageError(message::kFileError, path, result.detail);
}

std::vector<std::uint8_t> WriteFgs(const VehicleDocument& doc) {
    const VehicleContent& content = doc.Content();
    std::vector<std::uint8_t> bytes;
    std::size_t size = fgs::kHeaderText.size() + 1 + 3 + 6 + kAuthorField + kDescriptionField + 2 +
                       content.infoText.View().size() + 1 + 6 + 2 + 2;
    for (int s = 0; s < doc.CountSets(); ++s) {
        size += 1 + 2 * kCheckWordsPerSet + kSetNameField;
        for (int c = 0; c < doc.CountCars(s); ++c) {
            size += 1 + 2 + kSegmentFlagBytes + 2 * kCheckWordsPerCar + 3 * kCarTextField + 4 +
                    kPlaneBytesPerUnit * std::size_t(doc.CarAt(s, c).length);
        }
    }
    bytes.reserve(size);

    ByteWriter out(bytes);
    out.Text(fgs::kHeaderText);
    out.U8(fgs::kEndMark);
    out.Bytes(fgs::kMagic);
    out.U16(1);
    out.U16(0);
    out.U16(1);  // the author block follows
    WriteField(out, content.author);
    WriteField(out, content.description);
    const std::string_view info = content.infoText.View();
    out.U16(std::uint16_t(info.size() + 1));
    out.Text(info);
    out.U8(0);
    out.U16(0);
    out.U16(0);
    out.U16(0);  // no extra bytes
    out.U8(0);   // strings A and B, empty
    out.U8(0);
    const int sets = doc.CountSets();
    out.U16(std::uint16_t(sets));
    for (int s = 0; s < sets; ++s) {
        const VehicleSet& set = doc.Set(s);
        const int cars = doc.CountCars(s);
        out.U8(std::uint8_t(cars));
        for (int i = 0; i < kCheckWordsPerSet; ++i) {
            out.U16(0);
        }
        WriteField(out, set.name);
        for (int c = 0; c < cars; ++c) {
            const Car& car = set.cars[std::size_t(c)];
            out.U8(std::uint8_t(car.length));
            out.U16(1);  // segment flags present
            std::array<std::uint8_t, kSegmentFlagBytes> flags{};
            std::size_t at = 0;
            for (const auto& view : car.segmentFlags) {
                for (const std::uint16_t word : view) {
                    flags[at++] = std::uint8_t(word);
                    flags[at++] = std::uint8_t(word >> 8);
                }
            }
            out.Bytes(flags);
            for (int i = 0; i < kCheckWordsPerCar; ++i) {
                out.U16(0);
            }
            WriteField(out, car.name);
            WriteField(out, car.text2);
            WriteField(out, car.text3);
            out.U32(car.carFlags);
            for (const int view : kFilePlaneOrder) {
                const auto& plane = car.planes[std::size_t(view)];
                const std::size_t expected = PlaneSize(view, car.length);
                if (plane.size() == expected) {
                    out.Bytes(plane);
                } else {
                    out.Fill(expected, TransparentIndex);
                }
            }
        }
    }
    return bytes;
}

void SaveFgsFile(const std::string& path, const VehicleDocument& doc) {
    WriteFileAtomically(path, WriteFgs(doc));
}

}  // namespace zobl
