#include "gui/framework/QtSettingsStore.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <span>

#include "core/common/AtomicFile.h"

#include <QDebug>
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

// Qt keeps a key under its normal form, without empty parts between its slashes; a name read
// from the file in another form ("a//b", an empty one) has no value and cannot be written back.
bool WritableKey(const QString& key) {
    return !key.split(QLatin1Char('/')).contains(QString());
}

QtSettingsStore::Values ReadValues(const QString& path) {
    QtSettingsStore::Values values;
    if (!QFile::exists(path)) {
        return values;
    }
    const QSettings file(path, QSettings::IniFormat);
    for (const QString& key : file.allKeys()) {
        values.insert(key, WritableKey(key) ? file.value(key) : QVariant());
    }
    return values;
}

// A settings file written by Qt into a temporary file beside the settings file, as read back from
// the disk.
struct WrittenFile {
    std::unique_ptr<QTemporaryFile> file;
    QtSettingsStore::Values values;
    bool complete = false;  // ends where a line ends
};

std::optional<WrittenFile> WriteThroughQt(const QString& folder, const QtSettingsStore::Values& values) {
    WrittenFile written;
    written.file = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/.settings-XXXXXX"));
    if (!written.file->open()) {
        return std::nullopt;
    }
    written.file->close();
    {
        QSettings writer(written.file->fileName(), QSettings::IniFormat);
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            writer.setValue(it.key(), it.value());
        }
        writer.sync();
        if (writer.status() != QSettings::NoError) {
            return std::nullopt;
        }
    }
    // Qt keeps what it wrote to a file in memory and would answer from there; under a name of
    // its own the file is read from the disk.
    if (!written.file->rename(written.file->fileName() + QStringLiteral(".written"))) {
        return std::nullopt;
    }
    written.values = ReadValues(written.file->fileName());
    if (!written.file->open()) {
        return std::nullopt;
    }
    const qint64 size = written.file->size();
    char last = '\n';
    written.complete =
        size == 0 || (written.file->seek(size - 1) && written.file->getChar(&last) && last == '\n');
    written.file->close();
    return written;
}

// What the read-back says of a written file: nullopt when it cannot be used (one of our own values
// did not come back, or the file was cut short), otherwise the keys of others whose lines Qt wrote
// differently from how it read them (empty when everything came back). A file cut short by a full
// disk ends inside a line, or has lost the keys after the cut without others in their place;
// Qt's escapes keep a written value on its line.
std::optional<QStringList> UnwrittenKeys(const WrittenFile& written, const QtSettingsStore::Values& intended,
                                         const QSet<QString>& own) {
    if (!written.complete) {
        return std::nullopt;
    }
    QStringList lost;
    QStringList altered;
    for (auto it = intended.cbegin(); it != intended.cend(); ++it) {
        if (!written.values.contains(it.key())) {
            lost << it.key();
        } else if (Normalised(written.values.value(it.key())) != Normalised(it.value())) {
            altered << it.key();
        }
    }
    const bool renamed = std::any_of(written.values.keyBegin(), written.values.keyEnd(),
                                     [&intended](const QString& key) { return !intended.contains(key); });
    if (!lost.isEmpty() && !renamed) {
        return std::nullopt;
    }
    const QStringList unwritten = lost + altered;
    if (std::any_of(unwritten.begin(), unwritten.end(),
                    [&own](const QString& key) { return own.contains(key); })) {
        return std::nullopt;
    }
    return unwritten;
}

void NoteDropped(const QString& path, const QString& key, const QVariant& value) {
    QString line;
    QDebug(&line).nospace() << key << " = " << value;
    // A quote left open takes the rest of the file along.
    constexpr qsizetype kShown = 200;
    if (line.size() > kShown) {
        line = line.left(kShown) + QStringLiteral("...");
    }
    qWarning("%s: the line %s cannot be written back as it was read and was left out", qUtf8Printable(path),
             qUtf8Printable(line));
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
    // A line that someone else put into the file and that Qt cannot write back the way it read it
    // goes, so that it never stops our own values from being saved.
    Values dropped;
    for (auto it = merged.begin(); it != merged.end();) {
        if (!changed_.contains(it.key()) && !WritableKey(it.key())) {
            dropped.insert(it.key(), it.value());
            it = merged.erase(it);
        } else {
            ++it;
        }
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
    std::optional<WrittenFile> written = WriteThroughQt(folder, merged);
    if (!written) {
        return false;
    }
    const std::optional<QStringList> unwritten = UnwrittenKeys(*written, merged, changed_);
    if (!unwritten) {
        return false;
    }
    if (!unwritten->isEmpty()) {
        for (const QString& key : *unwritten) {
            dropped.insert(key, merged.take(key));
        }
        written = WriteThroughQt(folder, merged);
        if (!written) {
            return false;
        }
        const std::optional<QStringList> again = UnwrittenKeys(*written, merged, changed_);
        if (!again || !again->isEmpty()) {
            return false;
        }
    }
    if (!written->file->open()) {
        return false;
    }
    const QByteArray bytes = written->file->readAll();
    written->file->close();
    try {
        WriteFileAtomically(
            QFile::encodeName(path_).toStdString(),
            std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
    } catch (const std::exception&) {
        return false;
    }
    for (auto it = dropped.cbegin(); it != dropped.cend(); ++it) {
        NoteDropped(path_, it.key(), it.value());
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
