#pragma once

#include <QMap>
#include <QSet>
#include <QString>
#include <QVariant>

#include "core/settings/SettingsStore.h"

namespace zobl {

// The settings store in an INI file in Qt's format. Section "General" is the file's [General]
// section (Qt keeps its top-level keys there); every other section is a group of the same name.
// Values are read once and kept; Sync (and the destructor) writes the changes, keeping what
// another editor wrote to other keys meanwhile, and replaces the file only once the new one was
// written completely. A line of others that Qt cannot write back as it read it ("=novalue",
// "a//b=1", a quote left open) is left out at the next save and noted in the log.
class QtSettingsStore : public SettingsStore {
public:
    using Values = QMap<QString, QVariant>;

    explicit QtSettingsStore(const QString& iniPath);
    ~QtSettingsStore() override;

    // $XDG_CONFIG_HOME/ZOBL Graphics Editor/ZOBL Graphic Editor.ini (~/.config when unset).
    static QString DefaultPath();

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

    // Writes pending changes to the file; false when that failed (the file is then as before,
    // and the changes stay pending). Lines of others never make it fail.
    bool Sync();
    QString FileName() const { return path_; }
    // Removes every value and the file itself (command line "Unregister").
    bool RemoveAll();

private:
    static QString Key(std::string_view section, std::string_view key);
    QVariant Value(const QString& key) const;
    void SetValue(const QString& key, const QVariant& value);

    QString path_;
    Values values_;
    QSet<QString> changed_;
    QSet<QString> removed_;
};

}  // namespace zobl
