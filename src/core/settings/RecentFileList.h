#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zobl {

class SettingsStore;

// The list of recently opened files, newest first, kept in section "Recent File List" as
// "File1" .. "File16".
class RecentFileList {
public:
    static constexpr int kMaxFiles = 16;
    static constexpr const char* kSection = "Recent File List";

    explicit RecentFileList(int capacity = kMaxFiles);

    // Puts path at the front; an equal entry further down goes away, the oldest falls off.
    void Add(std::string_view path);
    void Remove(std::size_t index);

    const std::vector<std::string>& Files() const noexcept { return files_; }
    int Capacity() const noexcept { return capacity_; }

    void Load(SettingsStore& store);
    // Writes File1..FileN and removes the keys of the unused places.
    void Save(SettingsStore& store) const;

private:
    int capacity_;
    std::vector<std::string> files_;
};

}  // namespace zobl
