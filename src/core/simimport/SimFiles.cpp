#include "core/simimport/SimFiles.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/simimport/SimLocator.h"
#include "core/text/CodePages.h"

namespace zobl::simimport {
namespace {

class DiskFile : public SimFile {
public:
    DiskFile(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
    ~DiskFile() override { std::fclose(file_); }
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    std::uint64_t Size() const override { return size_; }
    std::optional<std::size_t> Read(std::uint8_t* out, std::size_t count) override {
        const std::size_t got = std::fread(out, 1, count, file_);
        // Bytes read before an error are delivered; the error comes with the next read.
        if (got == 0 && std::ferror(file_)) {
            return std::nullopt;
        }
        return got;
    }
    bool Skip(std::uint64_t count) override {
        return fseeko(file_, static_cast<off_t>(count), SEEK_CUR) == 0;
    }

private:
    std::FILE* file_;
    std::uint64_t size_;
};

class DiskFiles : public SimFileSystem {
public:
    std::optional<std::string> Find(const std::string& fullName) const override {
        return FindSimFile(fullName);
    }
    std::unique_ptr<SimFile> Open(const std::string& name) const override {
        std::FILE* file = std::fopen(name.c_str(), "rb");
        if (!file) {
            return nullptr;
        }
        struct stat status {};
        if (::fstat(::fileno(file), &status) != 0) {
            std::fclose(file);
            return nullptr;
        }
        return std::make_unique<DiskFile>(file, static_cast<std::uint64_t>(status.st_size));
    }
};

class MemoryFile : public SimFile {
public:
    explicit MemoryFile(std::shared_ptr<const std::string> content) : content_(std::move(content)) {}

    std::uint64_t Size() const override { return content_->size(); }
    std::optional<std::size_t> Read(std::uint8_t* out, std::size_t count) override {
        if (position_ >= content_->size()) {
            return 0;
        }
        const std::size_t got = std::min(count, content_->size() - position_);
        std::memcpy(out, content_->data() + position_, got);
        position_ += got;
        return got;
    }
    bool Skip(std::uint64_t count) override {
        position_ += static_cast<std::size_t>(count);
        return true;
    }

private:
    std::shared_ptr<const std::string> content_;
    std::size_t position_ = 0;
};

}  // namespace

const SimFileSystem& DiskSimFiles() {
    static const DiskFiles files;
    return files;
}

std::optional<std::string> MemorySimFiles::Find(const std::string& fullName) const {
    if (files_.count(fullName) != 0) {
        return fullName;
    }
    const std::string* first = nullptr;
    for (const auto& [name, content] : files_) {
        if (EqualsIgnoringAsciiCase(name, fullName) && (!first || name < *first)) {
            first = &name;
        }
    }
    return first ? std::optional<std::string>(*first) : std::nullopt;
}

std::unique_ptr<SimFile> MemorySimFiles::Open(const std::string& name) const {
    const auto it = files_.find(name);
    if (it == files_.end()) {
        return nullptr;
    }
    return std::make_unique<MemoryFile>(it->second);
}

std::optional<std::string> ReadWholeSimFile(const SimFileSystem& files, const std::string& name,
                                            std::size_t maxSize) {
    const std::unique_ptr<SimFile> file = files.Open(name);
    if (!file || file->Size() > maxSize) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(file->Size()), '\0');
    const std::optional<std::size_t> got =
        file->Read(reinterpret_cast<std::uint8_t*>(content.data()), content.size());
    if (!got) {
        return std::nullopt;
    }
    content.resize(*got);
    return content;
}

}  // namespace zobl::simimport
