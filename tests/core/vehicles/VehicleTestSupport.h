#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/drawing/MouseMode.h"
#include "core/vehicles/VehicleDocument.h"

namespace zobl::test {

inline constexpr MouseMode kFreehand = MouseMode::Freehand;
inline constexpr MouseMode kLine = MouseMode::Line;

// .fgs bytes put together field by field, independently of the writer.
class FgsBytes {
public:
    FgsBytes& U8(int value) {
        bytes.push_back(std::uint8_t(value));
        return *this;
    }
    FgsBytes& U16(int value) { return U8(value & 0xFF).U8((value >> 8) & 0xFF); }
    FgsBytes& U32(std::uint32_t value) { return U16(int(value & 0xFFFF)).U16(int(value >> 16)); }
    FgsBytes& Text(std::string_view text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    // A fixed field: the text, then zero bytes up to size.
    FgsBytes& Field(std::string_view text, std::size_t size) {
        Text(text);
        bytes.insert(bytes.end(), size - text.size(), 0);
        return *this;
    }
    FgsBytes& Fill(std::size_t count, int value) {
        bytes.insert(bytes.end(), count, std::uint8_t(value));
        return *this;
    }

    // Everything up to and including the set count.
    FgsBytes& Header(int sets, int headerFlag = 1, std::string_view author = "Autor",
                     std::string_view info = "Info", int extra = 0, std::string_view stringA = "",
                     std::string_view stringB = "", std::string_view description = "Beschreibung") {
        Text("TRAK User Graphics File (rolling stock file)").U8(0x1A).U8(0x46).U8(0xC7).U8(0x53);
        U16(1).U16(0).U16(headerFlag);
        if (headerFlag == 1) {
            Field(author, 80).Field(description, 1024);
            U16(int(info.size()) + 1).Text(info).U8(0);
        }
        U16(0).U16(0).U16(extra).Fill(std::size_t(extra), 0xEE);
        Text(stringA).U8(0).Text(stringB).U8(0);
        return U16(sets);
    }
    FgsBytes& Set(int cars, std::string_view name, int checkWord = 0) {
        return U8(cars).U16(0).U16(checkWord).U16(0).U16(0).Field(name, 23);
    }
    // A car whose planes are each filled with one value: view v with pixel value 10 + v.
    FgsBytes& Car(int length, std::string_view name, bool flagsPresent = true, int checkWord = 0,
                  std::uint32_t carFlags = 0) {
        U8(length).U16(flagsPresent ? 1 : 0);
        if (flagsPresent) {
            for (int i = 0; i < 128; ++i) {
                U16(i);
            }
        }
        U16(0).U16(checkWord).U16(0);
        Field(name, 62).Field("zwei", 62).Field("drei", 62).U32(carFlags);
        for (const int view : {0, 3, 2, 1}) {
            Fill((view == 1 || view == 2 ? 112u : 32u) * std::size_t(length), 10 + view);
        }
        return *this;
    }

    std::vector<std::uint8_t> bytes;
};

// Checks everything the model promises after any operation.
inline ::testing::AssertionResult ModelIsConsistent(const VehicleDocument& doc) {
    const int sets = doc.CountSets();
    for (int s = 0; s < vehicles::kMaxSets; ++s) {
        const VehicleSet& set = doc.Set(s);
        if (set.IsUsed() != (s < sets)) {
            return ::testing::AssertionFailure() << "set slot " << s << " breaks the run of used sets";
        }
        if (!set.IsUsed() && set.carCount != 0) {
            return ::testing::AssertionFailure() << "free set slot " << s << " has cars";
        }
        if (set.carCount < 0 || set.carCount > vehicles::kMaxCars) {
            return ::testing::AssertionFailure() << "set " << s << " car count " << set.carCount;
        }
        for (int c = 0; c < vehicles::kMaxCars; ++c) {
            const zobl::Car& car = set.cars[std::size_t(c)];
            if (car.setIndex != s || car.carIndex != c) {
                return ::testing::AssertionFailure()
                       << "car " << s << "/" << c << " numbered " << car.setIndex << "/" << car.carIndex;
            }
            const bool used = c < set.carCount;
            if (car.IsUsed() != used || (car.length != 0) != used) {
                return ::testing::AssertionFailure() << "car slot " << s << "/" << c << " used state";
            }
            for (int view = 0; view < vehicles::kViewCount; ++view) {
                const std::size_t expected = used ? vehicles::PlaneSize(view, car.length) : 0;
                if (car.planes[std::size_t(view)].size() != expected) {
                    return ::testing::AssertionFailure()
                           << "car " << s << "/" << c << " view " << view << " plane size";
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// A view that records its hints and holds a tree state word per set item.
class FakeView : public VehicleDocumentListener {
public:
    void OnVehicleHint(const VehicleHint& hint) override { hints.push_back(hint); }
    std::size_t CaptureTreeStates(std::span<std::int32_t> into) const override {
        const std::size_t count = std::min(into.size(), tree.size());
        std::copy_n(tree.begin(), count, into.begin());
        return count;
    }
    void RestoreTreeStates(std::span<const std::int32_t> states) override {
        tree.assign(states.begin(), states.end());
        ++restores;
    }
    std::vector<VehicleHintCode> Codes() const {
        std::vector<VehicleHintCode> codes;
        for (const VehicleHint& hint : hints) {
            codes.push_back(hint.code);
        }
        return codes;
    }

    std::vector<VehicleHint> hints;
    std::vector<std::int32_t> tree;
    int restores = 0;
};

}  // namespace zobl::test
