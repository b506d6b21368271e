#include "core/settings/SettingsStore.h"

namespace zobl {

const MemorySettingsStore::Value* MemorySettingsStore::Find(std::string_view section,
                                                            std::string_view key) const {
    const auto it = values_.find(Address{std::string(section), std::string(key)});
    return it == values_.end() ? nullptr : &it->second;
}

void MemorySettingsStore::Store(std::string_view section, std::string_view key, Value value) {
    values_[Address{std::string(section), std::string(key)}] = std::move(value);
    writeLog_.push_back(std::string(section) + "/" + std::string(key));
}

int MemorySettingsStore::ReadInt(std::string_view section, std::string_view key, int defaultValue) {
    const Value* value = Find(section, key);
    if (value == nullptr || !std::holds_alternative<int>(*value)) {
        return defaultValue;
    }
    return std::get<int>(*value);
}

std::string MemorySettingsStore::ReadText(std::string_view section, std::string_view key,
                                          std::string_view defaultValue) {
    const Value* value = Find(section, key);
    if (value == nullptr || !std::holds_alternative<std::string>(*value)) {
        return std::string(defaultValue);
    }
    return std::get<std::string>(*value);
}

std::optional<std::vector<std::uint8_t>> MemorySettingsStore::ReadBinary(std::string_view section,
                                                                         std::string_view key) {
    const Value* value = Find(section, key);
    if (value == nullptr || !std::holds_alternative<std::vector<std::uint8_t>>(*value)) {
        return std::nullopt;
    }
    return std::get<std::vector<std::uint8_t>>(*value);
}

void MemorySettingsStore::WriteInt(std::string_view section, std::string_view key, int value) {
    Store(section, key, value);
}

void MemorySettingsStore::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    Store(section, key, std::string(value));
}

void MemorySettingsStore::WriteBinary(std::string_view section, std::string_view key,
                                      const std::vector<std::uint8_t>& value) {
    Store(section, key, value);
}

bool MemorySettingsStore::Contains(std::string_view section, std::string_view key) {
    return Find(section, key) != nullptr;
}

void MemorySettingsStore::Remove(std::string_view section, std::string_view key) {
    values_.erase(Address{std::string(section), std::string(key)});
}

}  // namespace zobl
