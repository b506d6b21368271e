#include "core/text/IniFile.h"

#include <cstdio>
#include <memory>
#include <unordered_set>

#include "core/text/CodePages.h"

namespace zobl {
namespace {

constexpr std::string_view kBlanks = " \t";

// The position of the first character of text that is no blank; text.size() if none.
std::size_t SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    return i;
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::string Fold(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = FoldAsciiCase(c);
    }
    return out;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

struct IniLine {
    enum class Kind { kOther, kSection, kEntry };
    Kind kind = Kind::kOther;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // trimmed and unquoted
};

IniLine ClassifyLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') {
        return {};
    }
    if (trimmed.front() == '[') {
        const std::size_t close = trimmed.find(']');
        if (close == std::string_view::npos) {
            return {};
        }
        return {IniLine::Kind::kSection, Trim(trimmed.substr(1, close - 1)), {}};
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    return {IniLine::Kind::kEntry, Trim(trimmed.substr(0, equals)),
            Unquote(Trim(trimmed.substr(equals + 1)))};
}

// Calls visit(text) for the text of every line of content, without its line feed, until visit
// answers false.
template <typename Visitor>
void ForEachLineText(std::string_view content, Visitor&& visit) {
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) {
            end = content.size();
        }
        if (!visit(std::string_view(content.data() + start, end - start))) {
            return;
        }
        start = end + 1;
    }
}

// The same with every line classified.
template <typename Visitor>
void ForEachLine(std::string_view content, Visitor&& visit) {
    ForEachLineText(content, [&](std::string_view text) { return visit(ClassifyLine(text)); });
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

std::string Cut(std::string_view value, std::size_t maxLength) {
    return std::string(value.substr(0, maxLength));
}

std::string IndexKey(std::string_view section, std::string_view key) {
    std::string folded = Fold(section);
    folded.push_back('\n');
    folded += Fold(key);
    return folded;
}

bool HoldsLineFeed(std::string_view text) {
    return text.find('\n') != std::string_view::npos;
}

}  // namespace

IniFile IniFile::Parse(std::string_view content) {
    IniFile file;
    std::optional<std::string> section;
    ForEachLine(content, [&](const IniLine& line) {
        if (line.kind == IniLine::Kind::kSection) {
            section = std::string(line.name);
            file.sections_.push_back(*section);
        } else if (line.kind == IniLine::Kind::kEntry && section) {
            file.firstEntry_.try_emplace(IndexKey(*section, line.name), file.entries_.size());
            file.entries_.push_back({*section, std::string(line.name), std::string(line.value)});
        }
        return true;
    });
    return file;
}

std::optional<IniFile> IniFile::Load(const std::string& path) {
    std::optional<std::string> content = ReadTextFile(path);
    if (!content) {
        return std::nullopt;
    }
    return Parse(*content);
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key,
                                          std::size_t maxLength) const {
    section = Trim(section);
    key = Trim(key);
    if (HoldsLineFeed(section) || HoldsLineFeed(key)) {
        return std::nullopt;
    }
    const auto it = firstEntry_.find(IndexKey(section, key));
    if (it == firstEntry_.end()) {
        return std::nullopt;
    }
    return Cut(entries_[it->second].value, maxLength);
}

bool IniFile::HasSection(std::string_view section) const {
    section = Trim(section);
    for (const std::string& name : sections_) {
        if (EqualsIgnoringAsciiCase(name, section)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> IniFile::Sections() const {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const std::string& name : sections_) {
        if (seen.insert(Fold(name)).second) {
            names.push_back(name);
        }
    }
    return names;
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    section = Trim(section);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        if (!EqualsIgnoringAsciiCase(entry.section, section)) {
            continue;
        }
        // Only the first entry of each key carries it into the list.
        const auto it = firstEntry_.find(IndexKey(entry.section, entry.key));
        if (it != firstEntry_.end() && it->second == i) {
            names.push_back(entry.key);
        }
    }
    return names;
}

std::optional<std::string_view> FindIniValue(std::string_view content, std::string_view section,
                                             std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    std::optional<std::string_view> found;
    bool inSection = false;
    ForEachLineText(content, [&](std::string_view text) {
        // Most lines are passed over unclassified. What matters is a section line (its first
        // character that is no blank is '[') and, inside the section, an entry whose name is the
        // key, so whose text after the leading blanks starts with it.
        text.remove_prefix(SkipBlanks(text));
        if (text.empty()) {
            return true;
        }
        if (text.front() != '[' && (!inSection || !StartsWithIgnoringAsciiCase(text, key))) {
            return true;
        }
        const IniLine line = ClassifyLine(text);
        if (line.kind == IniLine::Kind::kSection) {
            inSection = EqualsIgnoringAsciiCase(line.name, section);
        } else if (line.kind == IniLine::Kind::kEntry && inSection &&
                   EqualsIgnoringAsciiCase(line.name, key)) {
            found = line.value;
            return false;
        }
        return true;
    });
    return found;
}

std::optional<std::string> ReadTextFile(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        content.append(buffer, got);
        if (content.size() > kMaxTextFileSize) {
            return std::nullopt;
        }
        if (got < sizeof buffer) {
            break;
        }
    }
    if (std::ferror(file.get())) {
        return std::nullopt;
    }
    return content;
}

std::string GetProfileString(const std::string& path, std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::size_t maxLength) {
    const std::optional<std::string> content = ReadTextFile(path);
    if (content) {
        if (const std::optional<std::string_view> value = FindIniValue(*content, section, key)) {
            return Cut(*value, maxLength);
        }
    }
    return Cut(defaultValue, maxLength);
}

}  // namespace zobl
