#pragma once

#include <QSettings>
#include <QString>

#include "core/settings/SettingsStore.h"

namespace zobl {

// The settings store in an INI file. Section "General" is the file's [General] section (Qt keeps
// its top-level keys there); every other section is a group of the same name.
class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(const QString& iniPath);

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

    // Writes pending changes to the file; false when that failed.
    bool Sync();
    QString FileName() const { return settings_.fileName(); }
    // Removes every value and the file itself (command line "Unregister").
    bool RemoveAll();

private:
    static QString Key(std::string_view section, std::string_view key);
    QSettings settings_;
};

}  // namespace zobl
