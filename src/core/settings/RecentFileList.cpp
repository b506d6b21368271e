#include "core/settings/RecentFileList.h"

#include <algorithm>

#include "core/settings/SettingsStore.h"

namespace zobl {
namespace {
std::string EntryKey(int number) {
    return "File" + std::to_string(number);
}
}  // namespace

RecentFileList::RecentFileList(int capacity) : capacity_(std::clamp(capacity, 1, kMaxFiles)) {}

void RecentFileList::Add(std::string_view path) {
    if (path.empty()) {
        return;
    }
    std::erase(files_, path);
    files_.insert(files_.begin(), std::string(path));
    if (files_.size() > std::size_t(capacity_)) {
        files_.resize(std::size_t(capacity_));
    }
}

void RecentFileList::Remove(std::size_t index) {
    if (index < files_.size()) {
        files_.erase(files_.begin() + std::ptrdiff_t(index));
    }
}

void RecentFileList::Load(SettingsStore& store) {
    files_.clear();
    for (int number = 1; number <= capacity_; ++number) {
        std::string path = store.ReadText(kSection, EntryKey(number), "");
        // A hand-edited list may hold gaps or repeats; the menu shows each file once.
        if (!path.empty() && std::find(files_.begin(), files_.end(), path) == files_.end()) {
            files_.push_back(std::move(path));
        }
    }
}

void RecentFileList::Save(SettingsStore& store) const {
    for (int number = 1; number <= kMaxFiles; ++number) {
        if (std::size_t(number) <= files_.size()) {
            store.WriteText(kSection, EntryKey(number), files_[std::size_t(number) - 1]);
        } else {
            store.Remove(kSection, EntryKey(number));
        }
    }
}

}  // namespace zobl
