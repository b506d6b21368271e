#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace zobl {

// The per-user settings store: values of three kinds (integer, text, binary) addressed by section
// and key. The editor keeps it in an INI file; the core only sees this interface, so that tests
// use the in-memory store below.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored value, or defaultValue when the key is absent or holds no value of that kind.
    virtual int ReadInt(std::string_view section, std::string_view key, int defaultValue) = 0;
    virtual std::string ReadText(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) = 0;
    virtual std::optional<std::vector<std::uint8_t>> ReadBinary(std::string_view section,
                                                                std::string_view key) = 0;

    virtual void WriteInt(std::string_view section, std::string_view key, int value) = 0;
    virtual void WriteText(std::string_view section, std::string_view key, std::string_view value) = 0;
    virtual void WriteBinary(std::string_view section, std::string_view key,
                             const std::vector<std::uint8_t>& value) = 0;

    virtual bool Contains(std::string_view section, std::string_view key) = 0;
    virtual void Remove(std::string_view section, std::string_view key) = 0;
};

// A store in memory. It remembers the order of writes, so tests can check that a save writes
// its keys in the documented order.
class MemorySettingsStore : public SettingsStore {
public:
    using Value = std::variant<int, std::string, std::vector<std::uint8_t>>;

    int ReadInt(std::string_view section, std::string_view key, int defaultValue) override;
    std::string ReadText(std::string_view section, std::string_view key,
                         std::string_view defaultValue) override;
    std::optional<std::vector<std::uint8_t>> ReadBinary(std::string_view section,
                                                        std::string_view key) override;
    void WriteInt(std::string_view section, std::string_view key, int value) override;
    void WriteText(std::string_view section, std::string_view key, std::string_view value) override;
    void WriteBinary(std::string_view section, std::string_view key,
                     const std::vector<std::uint8_t>& value) override;
    bool Contains(std::string_view section, std::string_view key) override;
    void Remove(std::string_view section, std::string_view key) override;

    // "section/key" of every write, oldest first.
    const std::vector<std::string>& WriteLog() const noexcept { return writeLog_; }
    void ClearWriteLog() { writeLog_.clear(); }
    std::size_t Size() const noexcept { return values_.size(); }

private:
    using Address = std::pair<std::string, std::string>;
    void Store(std::string_view section, std::string_view key, Value value);
    const Value* Find(std::string_view section, std::string_view key) const;

    std::map<Address, Value> values_;
    std::vector<std::string> writeLog_;
};

}  // namespace zobl
