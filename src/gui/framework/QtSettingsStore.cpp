#include "gui/framework/QtSettingsStore.h"

#include <span>

#include "core/common/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

namespace zobl {

namespace {
constexpr const char* kOrganisation = "ZOBL Graphics Editor";
constexpr const char* kApplication = "ZOBL Graphic Editor";

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
// What a value reads back as from the file: ints come back as texts, lists and byte arrays as
// themselves.
QString Normalised(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QByteArray:
            return QStringLiteral("B:") + QString::fromLatin1(value.toByteArray().toHex());
        case QMetaType::QStringList:
            return QStringLiteral("L:") + value.toStringList().join(QChar(0x1F));
        default:
            return QStringLiteral("S:") + value.toString();
    }
}

QtSettingsStore::Values ReadValues(const QString& path) {
    QtSettingsStore::Values values;
    if (!QFile::exists(path)) {
        return values;
    }
    const QSettings file(path, QSettings::IniFormat);
    for (const QString& key : file.allKeys()) {
        values.insert(key, file.value(key));
    }
    return values;
}
}  // namespace

QtSettingsStore::QtSettingsStore(const QString& iniPath) : path_(iniPath), values_(ReadValues(iniPath)) {}

QtSettingsStore::~QtSettingsStore() {
    Sync();
}

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
    const QVariant value = Value(Key(section, key));
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
    const QVariant value = Value(Key(section, key));
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
    const QVariant value = Value(Key(section, key));
    if (!value.isValid() || value.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    const QByteArray bytes = value.toByteArray();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

QVariant QtSettingsStore::Value(const QString& key) const {
    return values_.value(key);
}

void QtSettingsStore::SetValue(const QString& key, const QVariant& value) {
    values_.insert(key, value);
    changed_.insert(key);
    removed_.remove(key);
}

void QtSettingsStore::WriteInt(std::string_view section, std::string_view key, int value) {
    SetValue(Key(section, key), value);
}

void QtSettingsStore::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    SetValue(Key(section, key), FromUtf8(value));
}

void QtSettingsStore::WriteBinary(std::string_view section, std::string_view key,
                                  const std::vector<std::uint8_t>& value) {
    SetValue(Key(section, key),
             QByteArray(reinterpret_cast<const char*>(value.data()), qsizetype(value.size())));
}

bool QtSettingsStore::Contains(std::string_view section, std::string_view key) {
    return values_.contains(Key(section, key));
}

void QtSettingsStore::Remove(std::string_view section, std::string_view key) {
    const QString name = Key(section, key);
    values_.remove(name);
    changed_.remove(name);
    removed_.insert(name);
}

bool QtSettingsStore::Sync() {
    if (changed_.isEmpty() && removed_.isEmpty()) {
        return true;
    }
    // Another running editor may have written the file since: its other values stay.
    Values merged = ReadValues(path_);
    for (const QString& key : removed_) {
        merged.remove(key);
    }
    for (const QString& key : changed_) {
        merged.insert(key, values_.value(key));
    }
    // When the disk fills up part-way, QSettings can leave its file cut off and still report
    // success. So it writes a temporary file, which is read back and compared before it replaces
    // the settings file the way every file of ours is replaced.
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder)) {
        return false;
    }
    QTemporaryFile temporary(folder + QStringLiteral("/.settings-XXXXXX"));
    if (!temporary.open()) {
        return false;
    }
    temporary.close();
    {
        QSettings writer(temporary.fileName(), QSettings::IniFormat);
        for (auto it = merged.cbegin(); it != merged.cend(); ++it) {
            writer.setValue(it.key(), it.value());
        }
        writer.sync();
        if (writer.status() != QSettings::NoError) {
            return false;
        }
    }
    // Qt keeps what it wrote to a file in memory and would answer from there; under a name of
    // its own the file is read from the disk.
    if (!temporary.rename(temporary.fileName() + QStringLiteral(".written"))) {
        return false;
    }
    const Values written = ReadValues(temporary.fileName());
    if (written.size() != merged.size()) {
        return false;
    }
    for (auto it = merged.cbegin(); it != merged.cend(); ++it) {
        if (!written.contains(it.key()) || Normalised(written.value(it.key())) != Normalised(it.value())) {
            return false;
        }
    }
    QFile file(temporary.fileName());
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    try {
        WriteFileAtomically(
            QFile::encodeName(path_).toStdString(),
            std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
    } catch (const std::exception&) {
        return false;
    }
    values_ = std::move(merged);
    changed_.clear();
    removed_.clear();
    return true;
}

bool QtSettingsStore::RemoveAll() {
    values_.clear();
    changed_.clear();
    removed_.clear();
    return !QFile::exists(path_) || QFile::remove(path_);
}

}  // namespace zobl
