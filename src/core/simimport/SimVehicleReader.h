#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/simimport/SimLocator.h"
#include "core/simimport/SimStream.h"

namespace zobl::simimport {

// Commands of SimVehicleReader::QueryVehicle; any value >= 0 is a vehicle identifier
// (group identifier * 16 + vehicle number).
inline constexpr int kQueryClose = -3;
inline constexpr int kQueryNext = -2;
inline constexpr int kQueryFirst = -1;

// Negative results of QueryVehicle (0: the listing has no further vehicle).
inline constexpr int kSimulatorNotFound = -1;
inline constexpr int kVehicleNotReadable = -2;  // group record or image block unusable, no such vehicle
inline constexpr int kSimFileError = -3;

// Category bits of vehicle groups. A group with kHiddenCategory is never listed.
inline constexpr unsigned kUserCategories = 0x6FFF;
inline constexpr unsigned kHiddenCategory = 0x1000;

// The reader's vehicle flag bits.
inline constexpr unsigned kSimFlag1 = 0x01;   // file bit 0x0040
inline constexpr unsigned kSimFlag2 = 0x02;   // file bit 0x0010
inline constexpr unsigned kSimFlag4 = 0x04;   // file bit 0x0020
inline constexpr unsigned kSimFlag8 = 0x08;   // file bit 0x0001
inline constexpr unsigned kSimFlag10 = 0x10;  // file bit 0x8000

inline constexpr int kMaxSimSegments = 32;   // 8-pixel segments of one vehicle
inline constexpr int kSidePlaneWidth = 256;  // kMaxSimSegments * 8
inline constexpr int kSidePlaneHeight = 14;
inline constexpr int kSidePlaneSize = kSidePlaneWidth * kSidePlaneHeight;
inline constexpr int kTopSegmentBytes = 32;  // 8 wide, 4 high
inline constexpr int kTopPlaneSize = kMaxSimSegments * kTopSegmentBytes;
inline constexpr std::size_t kMaxTextLength = 199;
inline constexpr std::size_t kMaxGroupNameLength = 32;
inline constexpr std::uint8_t kNoPixel = 255;  // filler of the planes outside the vehicle

using SidePlane = std::array<std::uint8_t, kSidePlaneSize>;
using TopPlane = std::array<std::uint8_t, kTopPlaneSize>;

// One vehicle as the simulator describes it. Texts are UTF-8; pixels are simulator colour codes
// as the reader delivers them.
struct SimVehicle {
    unsigned categories = 0;
    std::string groupName;
    unsigned flags = 0;  // kSimFlag... bits
    std::array<std::string, 3> texts;
    int lengthPixels = 0;
    SidePlane plane0{};  // side view, segments in reverse order, rows of 256 bytes, top row first
    SidePlane plane2{};  // side view, segments in order
    TopPlane plane1{};   // top view, segments in reverse order, 32 bytes (4 rows of 8) per segment
    TopPlane plane3{};   // top view, segments in order
    // The 0xC0 bits of the list bytes, per list 0..3 and segment.
    std::array<std::array<std::uint8_t, kMaxSimSegments>, 4> segmentFlags{};
    // The planes hold palette indices instead (see TranslateToPaletteIndices).
    bool paletteIndices = false;
};

// Reads the simulator's vehicle catalogue: TRAK.ZGG (vehicle groups), TRAK.FZG (image blocks)
// and the simulator's text file. All reading state lives in one object; it persists between
// queries, as a listing is a sequence of queries.
//
// Internally texts are kept in the editor's 8-bit character set (Windows-1252), where the
// limits of 199 text and 32 name characters apply; plain strings of TRAK.ZGG are code page 850
// and are converted, texts of the text file are taken as they are. The results are UTF-8.
class SimVehicleReader {
public:
    // Reads the simulator's files through files, which must outlive the reader.
    explicit SimVehicleReader(const SimFileSystem& files = DiskSimFiles()) : files_(&files) {}
    SimVehicleReader(const SimVehicleReader&) = delete;
    SimVehicleReader& operator=(const SimVehicleReader&) = delete;

    // A simulator folder named by the user: queries then check only this folder (a prefix,
    // empty or ending in '/') instead of running the lookup. nullopt restores the lookup.
    void SetSimulatorFolder(std::optional<std::string> directory) { fixedFolder_ = std::move(directory); }

    // The one query operation:
    //   kQueryClose: frees everything loaded; result 0.
    //   kQueryFirst: starts a listing of the groups sharing a bit with categoryFilter; fills out
    //                completely for vehicle 0 of the first such group.
    //   kQueryNext:  the next vehicle of the listing: the following vehicle of the same group (up
    //                to vehicle 15), else vehicle 0 of the next matching group. Fills only
    //                categories, groupName and texts (texts[0] is the vehicle number).
    //   identifier:  fills out completely for that vehicle.
    // path is the folder to try before the maker setting (see LocateSimulator); it receives the
    // simulator directory. out may be null. Result: the vehicle identifier; 0 at the end of a
    // listing; kSimulatorNotFound, kVehicleNotReadable or kSimFileError. On a negative result out
    // is left unchanged.
    int QueryVehicle(std::string& path, int command, unsigned categoryFilter, SimVehicle* out);
    // As the import calls it: with an empty path.
    int QueryVehicle(int command, unsigned categoryFilter, SimVehicle* out);

    // Text number of the simulator's text file in the editor's character set (Windows-1252), a
    // '#0' escape included as a zero byte; nullopt when the file lacks it. Needs a located
    // simulator (a query that ran the lookup).
    std::optional<std::string> GetSimText(unsigned number);
    // The same as a vehicle shows it: UTF-8, up to a zero byte, "?@F<number>" when missing.
    std::string SimTextForDisplay(unsigned number);

    const SimulatorLocation& Location() const noexcept { return location_; }
    // The file that caused the last kSimFileError or kVehicleNotReadable (empty when the
    // vehicle was merely missing or too long).
    const std::string& FailedFile() const noexcept { return failedFile_; }
    // Whether the last kVehicleNotReadable was a vehicle longer than kMaxSimSegments: the files
    // are fine, the vehicle cannot be a car.
    bool VehicleTooLong() const noexcept { return tooLong_; }

private:
    struct StringEntry {
        bool isReference = false;
        std::uint16_t number = 0;  // text number of a reference
        std::string text;          // converted plain string
    };
    struct VehicleEntry {
        std::uint16_t imageReference = 0;
        unsigned flags = 0;
        std::vector<std::uint16_t> strings;  // without the closing 0xFFFF
    };
    struct GroupRecord {
        std::uint64_t offset = 0;  // of the record in TRAK.ZGG
        std::uint16_t identifier = 0;
        unsigned categories = 0;
        std::string name;
        std::vector<std::uint16_t> keys;
        std::vector<StringEntry> strings;
        std::vector<VehicleEntry> vehicles;
    };
    struct ImageBlock {
        std::uint16_t key = 0;
        int sideCount = 0;
        int topCount = 0;
        int compositionCount = 0;
        std::vector<std::uint8_t> compositions;
        std::vector<std::uint8_t> sideImages;  // 112 bytes each
        std::vector<std::uint8_t> topImages;   // 32 bytes each
    };

    bool Locate(std::string& path);
    std::string FullName(const std::string& name) const { return location_.directory + name; }
    int OpenSimFile(int slot, const std::string& name, bool skipPreamble);

    int SeekGroup(std::uint16_t key, bool past);
    // Reads the group file's directory from the stream (positioned after the magic) into
    // directory_; the result SeekGroup gives for a key the directory does not reach.
    int ReadDirectory(SimStream& stream);
    int ReadGroupHeader(unsigned categoryFilter, std::uint64_t& offset);
    int ReadStringArea(int& restSize, std::vector<StringEntry>* strings);
    std::string DecodeGroupName(const std::array<std::uint8_t, 22>& field);
    bool LoadGroupRecord(std::uint16_t identifier);
    bool LoadImageBlock(std::uint16_t key);
    bool ReadImageBlock(std::uint16_t key);
    std::string GetGroupString(std::size_t n);
    void FreeRecord();
    void FreeAll();
    void EndListing();
    int FullQuery(SimVehicle* out, bool byIdentifier);
    void FillPlanes(std::size_t composition, int segments, SimVehicle& vehicle) const;
    std::optional<std::size_t> FindComposition(int index) const;

    const SimFileSystem* files_;
    std::optional<std::string> fixedFolder_;
    SimulatorLocation location_;
    std::array<SimStream, 2> streams_;
    std::string failedFile_;
    bool tooLong_ = false;

    // The current group and vehicle.
    std::uint16_t groupId_ = 0;
    unsigned categories_ = 0;
    std::string groupName_;  // Windows-1252, at most 32 bytes
    int vehicleCount_ = 0;
    int vehicleNumber_ = 0;
    // A listing (or a query by identifier) has set the current group, so next may continue.
    bool haveGroup_ = false;
    // File offset of the current group's record: a listing only ever moves forward in the file,
    // so a damaged directory cannot make it go round in circles.
    std::uint64_t groupOffset_ = 0;

    // The group file's directory, read once per listing (and per query by identifier): a
    // listing seeks once per group, and reading the directory from its start for each of them
    // made a listing take time with the square of the number of groups.
    struct DirectoryEntry {
        std::uint16_t key = 0;
        std::uint64_t skip = 0;  // bytes from the directory's start to the key's record
    };
    std::vector<DirectoryEntry> directory_;
    std::vector<std::int32_t> firstEntryOfKey_;  // by key: index in directory_, -1 when absent
    // Where the directory ended: kSeekNoKey at its closing 0, kSeekReadFailure when it could not
    // be read (or was longer than any group file can be) beyond directory_.
    int directoryEnd_ = 0;
    bool directoryRead_ = false;

    std::optional<GroupRecord> record_;
    std::optional<ImageBlock> block_;
    // The text file is read once from its start, however many texts are asked for: every pair
    // passed on the way is kept (the first of a number, as a lookup from the start finds it),
    // and the next lookup goes on where the last one stopped. Reading it from the start for
    // every text made a listing of text-named groups take time with the square of their number.
    void ClearTexts();
    std::unordered_map<unsigned, std::optional<std::string>> textCache_;
    std::uint64_t textResume_ = 0;  // offset in the text file where reading goes on
    bool textsEnded_ = false;       // the file holds no further pair
};

}  // namespace zobl::simimport
