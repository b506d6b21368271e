#include "gui/framework/QtSettingsStore.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringList>

namespace zobl {

namespace {
constexpr const char* kOrganisation = "ZOBL Graphics Editor";
constexpr const char* kApplication = "ZOBL Graphic Editor";

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
}  // namespace

QtSettingsStore::QtSettingsStore(const QString& iniPath) : settings_(iniPath, QSettings::IniFormat) {}

QString QtSettingsStore::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' + kOrganisation +
           '/' + kApplication + ".ini";
}

QString QtSettingsStore::Key(std::string_view section, std::string_view key) {
    if (section == "General") {
        return FromUtf8(key);
    }
    return FromUtf8(section) + '/' + FromUtf8(key);
}

int QtSettingsStore::ReadInt(std::string_view section, std::string_view key, int defaultValue) {
    const QVariant value = settings_.value(Key(section, key));
    if (!value.isValid()) {
        return defaultValue;
    }
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    // Integers are 32-bit values; unsigned ones above the signed range wrap as they were stored.
    if (!ok || number < -2147483648LL || number > 4294967295LL) {
        return defaultValue;
    }
    return static_cast<int>(static_cast<std::uint32_t>(number));
}

std::string QtSettingsStore::ReadText(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) {
    const QVariant value = settings_.value(Key(section, key));
    if (!value.isValid()) {
        return std::string(defaultValue);
    }
    // An unquoted value with commas comes back as a list; it was one text to whoever wrote it.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", ")).toStdString();
    }
    if (value.typeId() == QMetaType::QByteArray) {
        return std::string(defaultValue);
    }
    return value.toString().toStdString();
}

std::optional<std::vector<std::uint8_t>> QtSettingsStore::ReadBinary(std::string_view section,
                                                                     std::string_view key) {
    const QVariant value = settings_.value(Key(section, key));
    if (!value.isValid() || value.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    const QByteArray bytes = value.toByteArray();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void QtSettingsStore::WriteInt(std::string_view section, std::string_view key, int value) {
    settings_.setValue(Key(section, key), value);
}

void QtSettingsStore::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    settings_.setValue(Key(section, key), FromUtf8(value));
}

void QtSettingsStore::WriteBinary(std::string_view section, std::string_view key,
                                  const std::vector<std::uint8_t>& value) {
    settings_.setValue(Key(section, key),
                       QByteArray(reinterpret_cast<const char*>(value.data()), qsizetype(value.size())));
}

bool QtSettingsStore::Contains(std::string_view section, std::string_view key) {
    return settings_.contains(Key(section, key));
}

void QtSettingsStore::Remove(std::string_view section, std::string_view key) {
    settings_.remove(Key(section, key));
}

bool QtSettingsStore::Sync() {
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

bool QtSettingsStore::RemoveAll() {
    settings_.clear();
    settings_.sync();
    const QString path = settings_.fileName();
    return !QFile::exists(path) || QFile::remove(path);
}

}  // namespace zobl
