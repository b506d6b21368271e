#include "core/text/IniFile.h"

#include <cstdio>
#include <memory>
#include <unordered_set>

#include "core/text/CodePages.h"

namespace zobl {
namespace {

// Blanks around names and values: spaces and tabs.
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The position of the first character of text that is no blank; text.size() if none.
std::size_t SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    return i;
}

std::string_view Trim(std::string_view text) {
    text.remove_prefix(SkipBlanks(text));
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(0, end);
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

// Whether text, which starts with no blank, can be the entry of key: it starts with the key,
// then after blanks comes '='. Cheaper than classifying the line, which reads all of it.
bool MayBeEntryOf(std::string_view text, std::string_view key) {
    if (text.size() < key.size() || !EqualsIgnoringAsciiCase(text.substr(0, key.size()), key)) {
        return false;
    }
    text.remove_prefix(key.size());
    text.remove_prefix(SkipBlanks(text));
    return !text.empty() && text.front() == '=';
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
    bool inSection = false;
    std::size_t start = 0;  // always the start of a line
    while (start < content.size()) {
        if (!inSection) {
            // Outside the section only a section line matters, whose first character that is no
            // blank is '[': the search jumps to the next '[' and checks what stands before it.
            const std::size_t bracket = content.find('[', start);
            if (bracket == std::string_view::npos) {
                break;
            }
            std::size_t lineStart = bracket;
            while (lineStart > start && IsBlank(content[lineStart - 1])) {
                --lineStart;
            }
            if (lineStart > start && content[lineStart - 1] != '\n') {
                const std::size_t lineEnd = content.find('\n', bracket);
                if (lineEnd == std::string_view::npos) {
                    break;
                }
                start = lineEnd + 1;
                continue;
            }
            start = lineStart;
        }
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) {
            end = content.size();
        }
        std::string_view text(content.data() + start, end - start);
        start = end + 1;
        // Inside the section, too, most lines are passed over unclassified: only a section line
        // and the key's entry matter.
        text.remove_prefix(SkipBlanks(text));
        if (text.empty() || (text.front() != '[' && !MayBeEntryOf(text, key))) {
            continue;
        }
        const IniLine line = ClassifyLine(text);
        if (line.kind == IniLine::Kind::kSection) {
            inSection = EqualsIgnoringAsciiCase(line.name, section);
        } else if (line.kind == IniLine::Kind::kEntry && inSection &&
                   EqualsIgnoringAsciiCase(line.name, key)) {
            return line.value;
        }
    }
    return std::nullopt;
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
