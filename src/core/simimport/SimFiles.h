#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zobl::simimport {

// One opened simulator file, read from the start a block at a time.
class SimFile {
public:
    virtual ~SimFile() = default;
    // The size when the file was opened.
    virtual std::uint64_t Size() const = 0;
    // Reads up to count bytes (fewer only at the end of the file); nullopt on a read error.
    virtual std::optional<std::size_t> Read(std::uint8_t* out, std::size_t count) = 0;
    // Moves the read position count bytes on; false on an error.
    virtual bool Skip(std::uint64_t count) = 0;
};

// Where the reader's files come from: the file system, or files held in memory (tests and
// fuzzing, which would otherwise spend most of their time opening files).
class SimFileSystem {
public:
    virtual ~SimFileSystem() = default;
    // The name under which the existing regular file fullName is opened, found without regard
    // to ASCII letter case; nullopt when there is none.
    virtual std::optional<std::string> Find(const std::string& fullName) const = 0;
    // Opens a name Find gave; null when it cannot be opened.
    virtual std::unique_ptr<SimFile> Open(const std::string& name) const = 0;
};

// The files of this machine, found as FindSimFile does.
const SimFileSystem& DiskSimFiles();

// Files in memory under their full names. Find takes the name as spelt when it is there; else
// among the names that equal it without regard to ASCII letter case the first in byte order.
class MemorySimFiles : public SimFileSystem {
public:
    // Files opened before keep what they held.
    void Put(const std::string& fullName, std::string_view content) {
        files_[fullName] = std::make_shared<const std::string>(content);
    }
    void Remove(const std::string& fullName) { files_.erase(fullName); }

    std::optional<std::string> Find(const std::string& fullName) const override;
    std::unique_ptr<SimFile> Open(const std::string& name) const override;

private:
    std::unordered_map<std::string, std::shared_ptr<const std::string>> files_;
};

// The whole of a found file, up to maxSize bytes; nullopt when it cannot be read or is larger.
std::optional<std::string> ReadWholeSimFile(const SimFileSystem& files, const std::string& name,
                                            std::size_t maxSize);

}  // namespace zobl::simimport
