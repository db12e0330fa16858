// The recent files as the settings keep them: one JSON text, so that a value damaged
// outside the editor is found out as a whole and never read half-way as something else.
#include "shell/recent_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <algorithm>
#include <limits>
#include <optional>

namespace {
constexpr const char* kEntriesKey = "recentFiles/entries";
constexpr const char* kFolderKey = "recentFiles/lastFolder";

std::optional<std::int32_t> Int32(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (number != static_cast<double>(static_cast<long long>(number)) ||
        number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(number);
}

std::optional<RecentFile> ReadEntry(const QJsonValue& value) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue path = object.value(QStringLiteral("path"));
    const QJsonValue a = object.value(QStringLiteral("satelliteA"));
    const QJsonValue b = object.value(QStringLiteral("satelliteB"));
    const QJsonValue set = object.value(QStringLiteral("symbolRateSet"));
    const QJsonValue rates = object.value(QStringLiteral("symbolRates"));
    const auto low = Int32(object.value(QStringLiteral("lnbLow")));
    const auto high = Int32(object.value(QStringLiteral("lnbHigh")));
    if (!path.isString() || path.toString().isEmpty() || !a.isString() || !b.isString() || !low ||
        !high || !rates.isArray() || rates.toArray().size() != 16 ||
        (!set.isUndefined() && !set.isString()))
        return std::nullopt;
    RecentFile file;
    file.path = RecentFiles::normalPath(path.toString());
    file.params.fileName = QFile::encodeName(file.path).toStdString();
    file.params.lnbLow = *low;
    file.params.lnbHigh = *high;
    file.params.satelliteA = a.toString().toStdString();
    file.params.satelliteB = b.toString().toStdString();
    const QJsonArray array = rates.toArray();
    for (int i = 0; i < 16; ++i) {
        const auto rate = Int32(array.at(i));
        if (!rate) return std::nullopt;
        file.params.symbolRates[static_cast<size_t>(i)] = *rate;
    }
    file.symbolRateSet = set.toString();
    return file;
}

QJsonObject WriteEntry(const RecentFile& file) {
    QJsonArray rates;
    for (const std::int32_t rate : file.params.symbolRates) rates.append(rate);
    return QJsonObject{
        {QStringLiteral("path"), file.path},
        {QStringLiteral("lnbLow"), file.params.lnbLow},
        {QStringLiteral("lnbHigh"), file.params.lnbHigh},
        {QStringLiteral("satelliteA"), QString::fromStdString(file.params.satelliteA)},
        {QStringLiteral("satelliteB"), QString::fromStdString(file.params.satelliteB)},
        {QStringLiteral("symbolRates"), rates},
        {QStringLiteral("symbolRateSet"), file.symbolRateSet}};
}
}  // namespace

QString RecentFiles::normalPath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool RecentFiles::load(const QSettings& settings) {
    files_.clear();
    bool intact = settings.status() != QSettings::FormatError;
    const QVariant folder = settings.value(QLatin1String(kFolderKey));
    lastFolder = folder.typeId() == QMetaType::QString ? folder.toString() : QString();
    if (folder.isValid() && folder.typeId() != QMetaType::QString) intact = false;
    const QVariant stored = settings.value(QLatin1String(kEntriesKey));
    if (!stored.isValid()) return intact;
    QJsonParseError error{};
    const QJsonDocument document = stored.typeId() == QMetaType::QString
                                       ? QJsonDocument::fromJson(stored.toString().toUtf8(), &error)
                                       : QJsonDocument();
    if (!document.isArray()) return false;
    for (const QJsonValue& value : document.array()) {
        std::optional<RecentFile> file = ReadEntry(value);
        if (!file || find(file->path) || static_cast<int>(files_.size()) >= kKept) {
            intact = false;
            continue;
        }
        files_.push_back(std::move(*file));
    }
    return intact;
}

void RecentFiles::save(QSettings& settings) const {
    QJsonArray entries;
    for (const RecentFile& file : files_) entries.append(WriteEntry(file));
    settings.setValue(QLatin1String(kEntriesKey),
                      QString::fromUtf8(QJsonDocument(entries).toJson(QJsonDocument::Compact)));
    settings.setValue(QLatin1String(kFolderKey), lastFolder);
}

void RecentFiles::remember(RecentFile file) {
    file.path = normalPath(file.path);
    file.params.fileName = QFile::encodeName(file.path).toStdString();
    forget(file.path);
    lastFolder = QFileInfo(file.path).absolutePath();
    files_.insert(files_.begin(), std::move(file));
    if (static_cast<int>(files_.size()) > kKept) files_.resize(kKept);
}

void RecentFiles::forget(const QString& path) {
    const QString normal = normalPath(path);
    std::erase_if(files_, [&](const RecentFile& file) { return file.path == normal; });
}

const RecentFile* RecentFiles::find(const QString& path) const {
    const QString normal = normalPath(path);
    const auto found = std::find_if(files_.begin(), files_.end(),
                                    [&](const RecentFile& file) { return file.path == normal; });
    return found == files_.end() ? nullptr : &*found;
}
