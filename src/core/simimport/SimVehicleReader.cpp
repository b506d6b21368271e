#include "core/simimport/SimVehicleReader.h"

#include <algorithm>
#include <cstring>

#include "core/text/CodePages.h"

namespace zobl::simimport {
namespace {

constexpr std::uint8_t kGroupMagic[3] = {0x5A, 0xC7, 0x47};
constexpr std::uint8_t kImageMagic[3] = {0x46, 0x5A, 0xC7};
constexpr std::uint8_t kImageVersionMajor = 0x35;
constexpr int kSideImageBytes = 112;  // 8 wide, 14 high
constexpr int kMaxImages = 64;
constexpr int kMaxCompositions = 8;
constexpr std::uint16_t kMaxBlockKey = 65520;
constexpr std::uint16_t kEndOfStrings = 0xFFFF;
constexpr int kMaxVehiclesPerGroup = 16;  // the vehicle number has 4 bits of the identifier
// A directory entry: key u16, distance u32. Keys are 16-bit and not 0, so a directory with more
// entries than keys repeats them and is no catalogue the simulator wrote.
constexpr std::uint64_t kDirectoryEntryBytes = 6;
constexpr std::size_t kMaxDirectoryEntries = 65535;

// Results of SeekGroup and ReadGroupHeader.
constexpr int kSeekFound = 0;
constexpr int kSeekNoFile = 3;
constexpr int kSeekReadFailure = 4;
constexpr int kSeekNoKey = 5;
constexpr int kHeaderFound = 0;
constexpr int kHeaderNoGroup = 1;
constexpr int kHeaderFailure = 2;

constexpr int kTextSlot = 1;
constexpr int kDataSlot = 0;

unsigned ConvertVehicleFlags(std::uint16_t fileFlags) {
    unsigned flags = 0;
    if (fileFlags & 0x0040) {
        flags |= kSimFlag1;
    }
    if (fileFlags & 0x0010) {
        flags |= kSimFlag2;
    }
    if (fileFlags & 0x0020) {
        flags |= kSimFlag4;
    }
    if (fileFlags & 0x0001) {
        flags |= kSimFlag8;
    }
    if (fileFlags & 0x8000) {
        flags |= kSimFlag10;
    }
    return flags;
}

// An 8-bit text of the editor's character set as the rest of the program sees it: it ends at
// its first zero byte, like the fixed text buffers it stands for.
std::string ToUtf8(std::string_view text) {
    return Cp1252ToUtf8(text.substr(0, text.find('\0')));
}

std::string MissingText(unsigned number) {
    return "?@F" + std::to_string(number);
}

// Skips line separators (every byte below 32) and comment lines of the text file; first receives
// the first byte of the next line.
int NextLineStart(SimStream& stream, std::uint8_t& first) {
    for (;;) {
        std::uint8_t byte = 0;
        do {
            if (const int result = stream.ReadByte(byte); result != SimStream::kOk) {
                return result;
            }
        } while (byte < 32);
        if (byte != ';') {
            first = byte;
            return SimStream::kOk;
        }
        do {
            if (const int result = stream.ReadByte(byte); result != SimStream::kOk) {
                return result;
            }
        } while (byte >= 32);
    }
}

// The rest of a number line read as "%u" does: blanks, an optional sign, digits up to the first
// other byte. nullopt when there are no digits or the number is 65536 or more.
std::optional<unsigned> ReadNumberLine(SimStream& stream, std::uint8_t first) {
    constexpr std::uint32_t kTooLarge = 65536;
    enum class State { Blanks, Sign, Digits, Done } state = State::Blanks;
    bool negative = false;
    bool anyDigit = false;
    std::uint32_t value = 0;
    std::uint8_t byte = first;
    for (;;) {
        if (state == State::Blanks && byte == ' ') {
            // still before the number
        } else if (state == State::Blanks && (byte == '+' || byte == '-')) {
            negative = byte == '-';
            state = State::Sign;
        } else if (state != State::Done && byte >= '0' && byte <= '9') {
            value = std::min<std::uint32_t>(value * 10 + (byte - '0'), kTooLarge);
            anyDigit = true;
            state = State::Digits;
        } else {
            state = State::Done;
        }
        if (stream.ReadByte(byte) != SimStream::kOk || byte < 32) {
            break;
        }
    }
    // "-n" wraps round to a huge unsigned number; only "-0" stays small.
    if (!anyDigit || value >= kTooLarge || (negative && value != 0)) {
        return std::nullopt;
    }
    return value;
}

// Goes through a text line with its escapes up to its end. With text, appends what the line
// holds, cut after kMaxTextLength characters (the rest of the line is dropped); without, only
// passes over it. False when the file ends inside the line.
bool WalkTextLine(SimStream& stream, std::uint8_t first, std::string* text) {
    const auto append = [text](std::string_view piece) {
        if (!text) {
            return;
        }
        for (char c : piece) {
            if (text->size() < kMaxTextLength) {
                *text += c;
            }
        }
    };
    std::uint8_t byte = first;
    while (byte >= 32) {
        if (byte == '#') {
            std::uint8_t escape = 0;
            if (stream.ReadByte(escape) != SimStream::kOk) {
                return false;
            }
            switch (escape) {
                case '#':
                    append("#");
                    break;
                case '0':
                    append(std::string_view("\0", 1));
                    break;
                case '1':
                    append(" ");
                    break;
                case '2':
                    append("  ");
                    break;
                case 'H':
                    append("&");
                    break;
                case 'n':
                    append("\r\n");
                    break;
                case 't':
                    append("\t");
                    break;
                default:
                    append("?");
                    break;
            }
            if (escape < 32) {
                // '#' at the end of the line: the line ends here all the same.
                return true;
            }
        } else {
            append(std::string_view(reinterpret_cast<const char*>(&byte), 1));
        }
        if (stream.ReadByte(byte) != SimStream::kOk) {
            return false;
        }
    }
    return true;
}

// A text line as WalkTextLine reads it; nullopt when the file ends inside the line.
std::optional<std::string> ReadTextLine(SimStream& stream, std::uint8_t first) {
    std::string text;
    if (!WalkTextLine(stream, first, &text)) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

int SimVehicleReader::QueryVehicle(int command, unsigned categoryFilter, SimVehicle* out) {
    std::string path;
    return QueryVehicle(path, command, categoryFilter, out);
}

int SimVehicleReader::QueryVehicle(std::string& path, int command, unsigned categoryFilter, SimVehicle* out) {
    failedFile_.clear();
    tooLong_ = false;
    if (command == kQueryClose) {
        FreeAll();
        return 0;
    }
    if (command < kQueryClose) {
        return kVehicleNotReadable;
    }
    if (command != kQueryNext && !Locate(path)) {
        EndListing();
        return kSimulatorNotFound;
    }
    if (command != kQueryNext) {
        // A new listing or a query by identifier reads the directory afresh.
        directoryRead_ = false;
    }

    if (command == kQueryNext) {
        if (!haveGroup_) {
            return 0;
        }
        if (vehicleNumber_ + 1 < std::min(vehicleCount_, kMaxVehiclesPerGroup)) {
            ++vehicleNumber_;
        } else {
            FreeRecord();
            vehicleNumber_ = 0;
            const int seek = SeekGroup(groupId_, true);
            if (seek != kSeekFound) {
                EndListing();
                return seek == kSeekNoKey ? 0 : kSimFileError;
            }
            std::uint64_t offset = 0;
            const int header = ReadGroupHeader(categoryFilter, offset);
            if (header != kHeaderFound) {
                EndListing();
                return header == kHeaderNoGroup ? 0 : kSimFileError;
            }
            if (offset <= groupOffset_) {
                // The directory leads back to where the listing has already been.
                EndListing();
                failedFile_ = FullName(kGroupFileName);
                return kSimFileError;
            }
            groupOffset_ = offset;
        }
        if (out) {
            out->categories = categories_;
            out->groupName = ToUtf8(groupName_);
            out->texts = {std::to_string(vehicleNumber_), std::string(), std::string()};
        }
        return groupId_ * 16 + vehicleNumber_;
    }

    if (command == kQueryFirst) {
        EndListing();
        vehicleNumber_ = 0;
        const int seek = SeekGroup(0, false);
        if (seek == kSeekNoKey) {
            return 0;
        }
        if (seek != kSeekFound) {
            // A data file that cannot be read is an error, not an empty catalogue.
            return kSimFileError;
        }
        std::uint64_t offset = 0;
        const int header = ReadGroupHeader(categoryFilter, offset);
        if (header != kHeaderFound) {
            return header == kHeaderNoGroup ? 0 : kSimFileError;
        }
        groupOffset_ = offset;
        haveGroup_ = true;
        return FullQuery(out, false);
    }

    // A vehicle identifier.
    EndListing();
    if ((command >> 4) > 0xFFFF) {
        return kVehicleNotReadable;
    }
    groupId_ = static_cast<std::uint16_t>(command >> 4);
    vehicleNumber_ = command & 15;
    return FullQuery(out, true);
}

int SimVehicleReader::FullQuery(SimVehicle* out, bool byIdentifier) {
    if (!LoadGroupRecord(groupId_)) {
        EndListing();
        return kVehicleNotReadable;
    }
    const GroupRecord& record = *record_;
    vehicleCount_ = static_cast<int>(record.vehicles.size());
    if (vehicleNumber_ >= vehicleCount_) {
        FreeRecord();
        vehicleCount_ = 0;
        EndListing();
        return kVehicleNotReadable;
    }
    groupName_ = record.name;
    if (byIdentifier) {
        // The categories of the group asked for, not of the group a listing stopped at.
        categories_ = record.categories;
        groupOffset_ = record.offset;
    }

    // Built aside, so that a refused vehicle leaves out as it was.
    auto vehicle = std::make_unique<SimVehicle>();
    const VehicleEntry& entry = record.vehicles[static_cast<std::size_t>(vehicleNumber_)];
    vehicle->categories = categories_;
    vehicle->groupName = ToUtf8(groupName_);
    vehicle->flags = entry.flags;
    for (std::size_t i = 0; i < entry.strings.size() && i < vehicle->texts.size(); ++i) {
        vehicle->texts[i] = ToUtf8(GetGroupString(entry.strings[i]));
    }

    int segments = 0;
    std::optional<std::size_t> composition;
    if (block_) {
        composition = FindComposition(entry.imageReference & 7);
    }
    if (composition) {
        segments = block_->compositions[*composition];
        if (segments > kMaxSimSegments) {
            // More than the 256 pixels a car can have: no fault of the files.
            tooLong_ = true;
            FreeAll();
            EndListing();
            return kVehicleNotReadable;
        }
    }
    vehicle->lengthPixels = 8 * segments;
    vehicle->plane0.fill(kNoPixel);
    vehicle->plane2.fill(kNoPixel);
    vehicle->plane1.fill(kNoPixel);
    vehicle->plane3.fill(kNoPixel);
    if (composition) {
        FillPlanes(*composition, segments, *vehicle);
    }

    const int identifier = groupId_ * 16 + vehicleNumber_;
    FreeAll();
    if (byIdentifier) {
        haveGroup_ = true;
    }
    if (out) {
        *out = std::move(*vehicle);
    }
    return identifier;
}

void SimVehicleReader::FillPlanes(std::size_t composition, int segments, SimVehicle& vehicle) const {
    const ImageBlock& block = *block_;
    const auto list = [&](int number, int k) {
        return block.compositions[composition + 1 + static_cast<std::size_t>(number * segments + k)];
    };
    const auto copySide = [&](std::uint8_t reference, int column, SidePlane& plane) {
        const int image = reference & 0x3F;
        if (image >= block.sideCount) {
            return;  // no such image: the segment stays empty
        }
        const std::uint8_t* source = &block.sideImages[static_cast<std::size_t>(image * kSideImageBytes)];
        for (int y = 0; y < kSidePlaneHeight; ++y) {
            std::memcpy(&plane[static_cast<std::size_t>(y * kSidePlaneWidth + column)], source + y * 8, 8);
        }
    };
    const auto copyTop = [&](std::uint8_t reference, int offset, TopPlane& plane) {
        const int image = reference & 0x3F;
        if (image >= block.topCount) {
            return;
        }
        std::memcpy(&plane[static_cast<std::size_t>(offset)],
                    &block.topImages[static_cast<std::size_t>(image * kTopSegmentBytes)], kTopSegmentBytes);
    };
    for (int k = 0; k < segments; ++k) {
        const int reversed = segments - 1 - k;
        copySide(list(0, k), 8 * reversed, vehicle.plane0);
        copySide(list(2, k), 8 * k, vehicle.plane2);
        copyTop(list(1, k), kTopSegmentBytes * reversed, vehicle.plane1);
        copyTop(list(3, k), kTopSegmentBytes * k, vehicle.plane3);
        for (int number = 0; number < 4; ++number) {
            vehicle.segmentFlags[static_cast<std::size_t>(number)][static_cast<std::size_t>(k)] =
                list(number, k) & 0xC0;
        }
    }
}

std::optional<std::size_t> SimVehicleReader::FindComposition(int index) const {
    if (!block_ || index >= block_->compositionCount) {
        return std::nullopt;
    }
    // The block was checked on loading: every composition lies inside the area.
    std::size_t position = 0;
    for (int i = 0; i < index; ++i) {
        position += 1 + 4 * std::size_t{block_->compositions[position]};
    }
    return position;
}

bool SimVehicleReader::Locate(std::string& path) {
    std::optional<SimulatorLocation> found;
    if (fixedFolder_) {
        path = *fixedFolder_;
        found = CheckSimulatorFolder(path, *files_);
    } else {
        found = LocateSimulator(path, *files_);
    }
    if (!found) {
        return false;
    }
    if (found->directory != location_.directory || found->textFileName != location_.textFileName) {
        ClearTexts();  // texts of another text file
    }
    location_ = std::move(*found);
    return true;
}

int SimVehicleReader::OpenSimFile(int slot, const std::string& name, bool skipPreamble) {
    const int result = streams_[static_cast<std::size_t>(slot)].Open(*files_, FullName(name), skipPreamble);
    if (result != SimStream::kOk) {
        failedFile_ = FullName(name);
    }
    return result;
}

int SimVehicleReader::ReadDirectory(SimStream& stream) {
    directory_.clear();
    firstEntryOfKey_.assign(std::size_t{1} << 16, -1);
    directoryRead_ = true;
    std::uint64_t skip = 0;
    for (;;) {
        std::uint16_t key = 0;
        std::uint32_t distance = 0;
        if (stream.ReadWord(key) != SimStream::kOk) {
            return kSeekReadFailure;
        }
        if (key == 0) {
            return kSeekNoKey;
        }
        if (stream.ReadLong(distance) != SimStream::kOk || directory_.size() >= kMaxDirectoryEntries) {
            return kSeekReadFailure;
        }
        skip += kDirectoryEntryBytes;
        if (firstEntryOfKey_[key] < 0) {
            firstEntryOfKey_[key] = std::int32_t(directory_.size());
        }
        directory_.push_back({key, skip + distance});
    }
}

int SimVehicleReader::SeekGroup(std::uint16_t key, bool past) {
    SimStream& stream = streams_[kDataSlot];
    if (OpenSimFile(kDataSlot, kGroupFileName, true) != SimStream::kOk) {
        return kSeekNoFile;
    }
    std::uint8_t magic[3] = {};
    if (stream.ReadBlock(magic, 3) != 3 || std::memcmp(magic, kGroupMagic, 3) != 0) {
        stream.Close();
        failedFile_ = FullName(kGroupFileName);
        return kSeekNoFile;
    }
    if (!directoryRead_) {
        directoryEnd_ = ReadDirectory(stream);
        // The stream is put back at the directory's start below.
        stream.Close();
        if (OpenSimFile(kDataSlot, kGroupFileName, true) != SimStream::kOk ||
            stream.ReadBlock(magic, 3) != 3) {
            stream.Close();
            failedFile_ = FullName(kGroupFileName);
            return kSeekNoFile;
        }
    }
    // The first entry, the entry of key, or the one after it; the first of equal keys counts.
    std::size_t index = 0;
    if (key != 0) {
        const std::int32_t found = firstEntryOfKey_[key];
        index = found < 0 ? directory_.size() : std::size_t(found) + (past ? 1 : 0);
    }
    if (index >= directory_.size()) {
        stream.Close();
        if (directoryEnd_ == kSeekReadFailure) {
            failedFile_ = FullName(kGroupFileName);
        }
        return directoryEnd_;
    }
    const std::uint64_t skip = directory_[index].skip;
    if (skip > UINT32_MAX || stream.SkipBytes(std::uint32_t(skip)) != SimStream::kOk) {
        stream.Close();
        failedFile_ = FullName(kGroupFileName);
        return kSeekReadFailure;
    }
    return kSeekFound;
}

int SimVehicleReader::ReadStringArea(int& restSize, std::vector<StringEntry>* strings) {
    SimStream& stream = streams_[kDataSlot];
    bool atStart = true;
    StringEntry entry;
    for (;;) {
        std::uint8_t byte = 0;
        if (stream.ReadByte(byte) != SimStream::kOk || --restSize < 0) {
            return kHeaderFailure;
        }
        if (atStart) {
            if (byte == 0) {
                return kHeaderFound;  // the empty string ends the area
            }
            atStart = false;
            entry = StringEntry{};
            if (byte == '#') {
                entry.isReference = true;
                restSize -= 2;
                if (stream.ReadWord(entry.number) != SimStream::kOk || restSize < 0) {
                    return kHeaderFailure;
                }
                continue;
            }
        }
        if (byte == 0) {
            if (strings) {
                if (!entry.isReference) {
                    entry.text = Cp850ToCp1252(entry.text);
                }
                strings->push_back(std::move(entry));
            }
            atStart = true;
        } else if (strings && !entry.isReference) {
            entry.text += static_cast<char>(byte);
        }
    }
}

int SimVehicleReader::ReadGroupHeader(unsigned categoryFilter, std::uint64_t& offset) {
    SimStream& stream = streams_[kDataSlot];
    const auto fail = [&] {
        stream.Close();
        failedFile_ = FullName(kGroupFileName);
        return kHeaderFailure;
    };
    for (;;) {
        offset = stream.Offset();
        std::uint8_t low = 0;
        std::uint8_t high = 0;
        if (const int result = stream.ReadByte(low); result != SimStream::kOk) {
            if (result == SimStream::kEnd) {
                // The records may simply end with the file instead of an identifier 0.
                stream.Close();
                return kHeaderNoGroup;
            }
            return fail();
        }
        if (stream.ReadByte(high) != SimStream::kOk) {
            return fail();
        }
        const std::uint16_t identifier = static_cast<std::uint16_t>(low | (high << 8));
        if (identifier == 0) {
            stream.Close();
            return kHeaderNoGroup;
        }
        groupId_ = identifier;
        std::uint16_t categories = 0;
        if (stream.ReadWord(categories) != SimStream::kOk) {
            return fail();
        }
        if (categories == 0) {
            std::uint16_t count = 0;
            if (stream.ReadWord(count) != SimStream::kOk || stream.SkipBytes(2u * count) != SimStream::kOk) {
                return fail();
            }
            continue;
        }
        std::uint16_t restSize = 0;
        std::uint16_t vehicleCount = 0;
        std::array<std::uint8_t, 22> name{};
        std::uint16_t keyCount = 0;
        if (stream.ReadWord(restSize) != SimStream::kOk || stream.ReadWord(vehicleCount) != SimStream::kOk ||
            stream.ReadBlock(name.data(), name.size()) != name.size() ||
            stream.ReadWord(keyCount) != SimStream::kOk ||
            stream.SkipBytes(2u * keyCount) != SimStream::kOk) {
            return fail();
        }
        vehicleCount_ = vehicleCount;
        int rest = restSize;
        if (ReadStringArea(rest, nullptr) != kHeaderFound ||
            stream.SkipBytes(static_cast<std::uint32_t>(rest)) != SimStream::kOk) {
            return fail();
        }
        if ((categories & categoryFilter) != 0 && (categories & kHiddenCategory) == 0) {
            categories_ = categories;
            stream.Close();
            groupName_ = DecodeGroupName(name);
            return kHeaderFound;
        }
    }
}

std::string SimVehicleReader::DecodeGroupName(const std::array<std::uint8_t, 22>& field) {
    std::string name;
    if ((field[0] | field[1]) != 0) {
        const std::string raw(reinterpret_cast<const char*>(field.data()), field.size() - 1);
        name = Cp850ToCp1252(raw.substr(0, raw.find('\0')));
    } else {
        const unsigned number = field[2] | (field[3] << 8);
        // A missing text shows as such rather than leaving the previous group's name in place.
        const std::optional<std::string> text = GetSimText(number);
        name = text ? *text : MissingText(number);
        name = name.substr(0, std::min(name.find('\0'), kMaxGroupNameLength));
    }
    // Names were laid out for a 32-character column: a tab pushes what follows it to the right
    // edge when the name fills the column with trailing blanks.
    const std::size_t tab = name.find('\t');
    if (tab == std::string::npos) {
        return name;
    }
    if (name.size() == kMaxGroupNameLength && name.back() == ' ') {
        const std::size_t last = name.find_last_not_of(' ');
        const std::string moved = last > tab ? name.substr(tab + 1, last - tab) : std::string();
        return name.substr(0, tab) + std::string(kMaxGroupNameLength - tab - moved.size(), ' ') + moved;
    }
    name[tab] = ' ';
    return name;
}

bool SimVehicleReader::LoadGroupRecord(std::uint16_t identifier) {
    if (record_ && record_->identifier == identifier) {
        return true;
    }
    FreeRecord();
    if (SeekGroup(identifier, false) != kSeekFound) {
        return false;
    }
    SimStream& stream = streams_[kDataSlot];
    const auto fail = [&] {
        stream.Close();
        failedFile_ = FullName(kGroupFileName);
        return false;
    };
    GroupRecord record;
    record.offset = stream.Offset();
    std::uint16_t categories = 0;
    std::uint16_t restSize = 0;
    std::uint16_t vehicleCount = 0;
    std::array<std::uint8_t, 22> name{};
    std::uint16_t keyCount = 0;
    if (stream.ReadWord(record.identifier) != SimStream::kOk || record.identifier != identifier ||
        stream.ReadWord(categories) != SimStream::kOk || categories == 0 ||
        stream.ReadWord(restSize) != SimStream::kOk || stream.ReadWord(vehicleCount) != SimStream::kOk ||
        stream.ReadBlock(name.data(), name.size()) != name.size() ||
        stream.ReadWord(keyCount) != SimStream::kOk) {
        return fail();
    }
    record.categories = categories;
    // Counts come from the file: what is kept grows with what was read, not with the count.
    for (std::uint16_t i = 0; i < keyCount; ++i) {
        std::uint16_t key = 0;
        if (stream.ReadWord(key) != SimStream::kOk) {
            return fail();
        }
        record.keys.push_back(key);
    }
    int rest = restSize;
    if (ReadStringArea(rest, &record.strings) != kHeaderFound) {
        return fail();
    }
    // The vehicle entries fill what the rest size leaves after the strings.
    const auto readWord = [&](std::uint16_t& word) {
        rest -= 2;
        return rest >= 0 && stream.ReadWord(word) == SimStream::kOk;
    };
    // Every entry takes at least five words: more entries than fit cannot be read.
    if (vehicleCount > rest / 10) {
        return fail();
    }
    record.vehicles.resize(vehicleCount);
    for (VehicleEntry& vehicle : record.vehicles) {
        std::uint16_t unused = 0;
        std::uint16_t flags = 0;
        if (!readWord(unused) || !readWord(flags) || !readWord(unused) || !readWord(vehicle.imageReference)) {
            return fail();
        }
        vehicle.flags = ConvertVehicleFlags(flags);
        vehicle.strings.reserve(4);  // a vehicle has a few texts; one allocation for them
        for (;;) {
            std::uint16_t string = 0;
            if (!readWord(string)) {
                return fail();
            }
            if (string == kEndOfStrings) {
                break;
            }
            vehicle.strings.push_back(string);
        }
    }
    stream.Close();
    record.name = DecodeGroupName(name);
    record_ = std::move(record);
    // Only the first key's block is loaded; later keys find it there.
    for (std::uint16_t key : record_->keys) {
        if (!LoadImageBlock(key)) {
            FreeRecord();
            return false;
        }
    }
    return true;
}

bool SimVehicleReader::LoadImageBlock(std::uint16_t key) {
    if (block_) {
        return true;
    }
    if (key == 0 || key > kMaxBlockKey || key % 16 != 0) {
        failedFile_ = FullName(kImageFileName);
        return false;
    }
    if (!ReadImageBlock(key)) {
        // Nothing half-read stays behind.
        block_.reset();
        streams_[kDataSlot].Close();
        failedFile_ = FullName(kImageFileName);
        return false;
    }
    return true;
}

bool SimVehicleReader::ReadImageBlock(std::uint16_t key) {
    SimStream& stream = streams_[kDataSlot];
    if (OpenSimFile(kDataSlot, kImageFileName, true) != SimStream::kOk) {
        return false;
    }
    std::uint8_t head[5] = {};
    if (stream.ReadBlock(head, 5) != 5 || std::memcmp(head, kImageMagic, 3) != 0 ||
        head[3] != kImageVersionMajor || (head[4] != 0x06 && head[4] != 0x09)) {
        return false;
    }
    for (;;) {
        std::uint16_t entryKey = 0;
        std::uint32_t distance = 0;
        if (stream.ReadWord(entryKey) != SimStream::kOk || entryKey == 0 ||
            stream.ReadLong(distance) != SimStream::kOk) {
            return false;
        }
        if (entryKey == key) {
            if (stream.SkipBytes(distance) != SimStream::kOk) {
                return false;
            }
            break;
        }
    }
    std::uint16_t blockKey = 0;
    std::uint16_t sideCount = 0;
    std::uint16_t topCount = 0;
    std::uint16_t compositionCount = 0;
    std::uint16_t compositionBytes = 0;
    if (stream.ReadWord(blockKey) != SimStream::kOk || blockKey != key ||
        stream.ReadWord(sideCount) != SimStream::kOk || (sideCount & 0x8000) == 0 ||
        stream.ReadWord(topCount) != SimStream::kOk || stream.ReadWord(compositionCount) != SimStream::kOk ||
        stream.ReadWord(compositionBytes) != SimStream::kOk) {
        return false;
    }
    sideCount &= 0x7FFF;
    if (sideCount < 1 || sideCount > kMaxImages || topCount < 1 || topCount > kMaxImages ||
        compositionCount < 1 || compositionCount > kMaxCompositions) {
        return false;
    }
    for (std::uint8_t byte = 1; byte != 0;) {  // the block's name, not used
        if (stream.ReadByte(byte) != SimStream::kOk) {
            return false;
        }
    }
    ImageBlock block;
    block.key = key;
    block.sideCount = sideCount;
    block.topCount = topCount;
    block.compositionCount = compositionCount;
    block.compositions.resize(compositionBytes);
    block.sideImages.resize(std::size_t{sideCount} * kSideImageBytes);
    block.topImages.resize(std::size_t{topCount} * kTopSegmentBytes);
    if (stream.ReadBlock(block.compositions.data(), block.compositions.size()) != block.compositions.size() ||
        stream.ReadBlock(block.sideImages.data(), block.sideImages.size()) != block.sideImages.size() ||
        stream.ReadBlock(block.topImages.data(), block.topImages.size()) != block.topImages.size()) {
        return false;
    }
    stream.Close();
    // Every composition (a count, then four lists of that many bytes) must lie inside the area.
    std::size_t position = 0;
    for (int i = 0; i < compositionCount; ++i) {
        if (position >= block.compositions.size()) {
            return false;
        }
        position += 1 + 4 * std::size_t{block.compositions[position]};
        if (position > block.compositions.size()) {
            return false;
        }
    }
    block_ = std::move(block);
    return true;
}

std::string SimVehicleReader::GetGroupString(std::size_t n) {
    if (!record_ || n >= record_->strings.size()) {
        return {};  // beyond the string area: an empty text
    }
    const StringEntry& entry = record_->strings[n];
    if (!entry.isReference) {
        return entry.text.substr(0, kMaxTextLength);
    }
    const std::optional<std::string> text = GetSimText(entry.number);
    return text ? *text : MissingText(entry.number);
}

std::optional<std::string> SimVehicleReader::GetSimText(unsigned number) {
    if (const auto cached = textCache_.find(number); cached != textCache_.end()) {
        return cached->second;
    }
    if (textsEnded_) {
        return std::nullopt;
    }
    std::optional<std::string> found;
    SimStream& stream = streams_[kTextSlot];
    if (stream.Open(*files_, FullName(location_.textFileName), false) != SimStream::kOk ||
        (textResume_ > UINT32_MAX ||
         (textResume_ > 0 && stream.SkipBytes(std::uint32_t(textResume_)) != SimStream::kOk))) {
        stream.Close();
        textsEnded_ = true;
        return std::nullopt;
    }
    for (;;) {
        std::uint8_t first = 0;
        if (NextLineStart(stream, first) != SimStream::kOk || first == '.') {
            textsEnded_ = true;
            break;
        }
        const std::optional<unsigned> lineNumber = ReadNumberLine(stream, first);
        if (!lineNumber || NextLineStart(stream, first) != SimStream::kOk) {
            textsEnded_ = true;
            break;
        }
        std::optional<std::string> text = ReadTextLine(stream, first);
        if (!text) {
            textsEnded_ = true;  // the file ends inside the line
            break;
        }
        textResume_ = stream.Offset();
        const bool wanted = *lineNumber == number;
        textCache_.try_emplace(*lineNumber, std::move(text));
        if (wanted) {
            found = textCache_.at(number);
            break;
        }
    }
    stream.Close();
    return found;
}

void SimVehicleReader::ClearTexts() {
    textCache_.clear();
    textResume_ = 0;
    textsEnded_ = false;
}

std::string SimVehicleReader::SimTextForDisplay(unsigned number) {
    const std::optional<std::string> text = GetSimText(number);
    return text ? ToUtf8(*text) : MissingText(number);
}

void SimVehicleReader::FreeRecord() {
    record_.reset();
    block_.reset();
}

void SimVehicleReader::FreeAll() {
    FreeRecord();
    directoryRead_ = false;
    ClearTexts();
    for (SimStream& stream : streams_) {
        stream.Close();
    }
}

void SimVehicleReader::EndListing() {
    haveGroup_ = false;
}

}  // namespace zobl::simimport
