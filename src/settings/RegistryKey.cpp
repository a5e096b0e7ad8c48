// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/RegistryKey.h"

#include "common/SaveFileCommit.h"
#include "common/VistrelError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>

namespace {

constexpr int kStaleLockMs = 3000;
constexpr int kLockWaitMs = 10000;
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;
constexpr int kMaxKeptAside = 1000;

bool ReadBytes(const QString& filePath, QByteArray& bytes) {
    QFile file(filePath);
    bytes.clear();
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) {
        return false;
    }
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool WriteWhole(const QString& filePath, const QByteArray& bytes) {
    return WriteWholeFile(filePath, [&bytes](QIODevice& device) {
        WriteAll(device, bytes.constData(), bytes.size());
    });
}

VistrelError GetError(const QString& name) {
    return VistrelError(QStringLiteral("Failed to get data for '%1'").arg(name));
}

VistrelError TypeError(const QString& name) {
    return VistrelError(QString::fromUtf8("无效数据类型 ") + name);
}

} // namespace

RegistryKey::RegistryKey(const QString& rootName) : FRootName(rootName) {}

RegistryKey::~RegistryKey() {
    CloseKey();
}

QString RegistryKey::FilePath(const QString& rootName) {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The base-directory rules say a relative value is to be ignored.
    if (base.isEmpty() || QDir::isRelativePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/vistrel-pro/") + rootName + QStringLiteral(".reg");
}

// A leading backslash starts at the root, as in the registry; otherwise the path is taken
// below the current key. Returns an empty text for a path no key can have.
QString RegistryKey::FullKeyName(const QString& keyPath) const {
    static const QRegularExpression rootForm(QStringLiteral("^HKEY_[A-Z_]+$"));
    if (!rootForm.match(FRootName).hasMatch() || !RegistryFile::IsWritableName(keyPath)) {
        return {};
    }
    QString path = keyPath;
    const bool absolute = path.startsWith(QLatin1Char('\\'));
    if (absolute) {
        path.remove(0, 1);
    }
    while (path.endsWith(QLatin1Char('\\'))) {
        path.chop(1);
    }
    const QString base = absolute || FCurrentKey.isEmpty() ? FRootName : FCurrentKey;
    if (path.isEmpty()) {
        return base;
    }
    if (path.split(QLatin1Char('\\')).contains(QString())) {
        return {};
    }
    return base + QLatin1Char('\\') + path;
}

std::optional<RegistryFile> RegistryKey::Load(const QString& filePath) {
    QByteArray bytes;
    if (!ReadBytes(filePath, bytes)) {
        return std::nullopt;
    }
    return RegistryFile::Parse(bytes);
}

bool RegistryKey::KeepAside(const QString& filePath, const QByteArray& bytes) {
    for (int n = 0; n < kMaxKeptAside; ++n) {
        const QString name =
            filePath + QStringLiteral(".bad") + (n == 0 ? QString() : QStringLiteral(".%1").arg(n));
        QFile earlier(name);
        if (!earlier.exists()) {
            return WriteWhole(name, bytes);
        }
        // The same damage kept aside once is enough (a rewrite that failed after it, say).
        if (earlier.open(QIODevice::ReadOnly) && earlier.readAll() == bytes) {
            return true;
        }
    }
    return false;
}

bool RegistryKey::Update(const QString& filePath,
                         const std::function<void(RegistryFile&)>& change) {
    if (!QDir().mkpath(QFileInfo(filePath).absolutePath())) {
        return false;
    }
    QLockFile lock(filePath + QStringLiteral(".lock"));
    // A writer killed while it made its lock can leave one that names no process; a write
    // takes milliseconds, so a lock this old is left over.
    lock.setStaleLockTime(kStaleLockMs);
    QByteArray bytes;
    if (!lock.tryLock(kLockWaitMs) || !ReadBytes(filePath, bytes)) {
        return false;
    }
    RegistryFile file = RegistryFile::Parse(bytes);
    if (file.Damaged() && !KeepAside(filePath, bytes)) {
        return false;
    }
    change(file);
    return WriteWhole(filePath, file.Serialise());
}

bool RegistryKey::EnsureKey(const QString& filePath, const QString& keyName) const {
    if (keyName.compare(FRootName, Qt::CaseInsensitive) == 0) {
        return QDir().mkpath(QFileInfo(filePath).absolutePath());
    }
    const std::optional<RegistryFile> file = Load(filePath);
    if (file && file->KeyExists(keyName)) {
        return true;
    }
    return Update(filePath, [&](RegistryFile& f) { f.AddKey(keyName); });
}

void RegistryKey::CreateKey(const QString& keyPath) {
    const QString keyName = FullKeyName(keyPath);
    if (keyName.isEmpty() || !EnsureKey(FilePath(FRootName), keyName)) {
        throw VistrelError(QStringLiteral("Failed to create key %1").arg(keyPath));
    }
}

bool RegistryKey::OpenKey(const QString& keyPath, bool canCreate) {
    const QString keyName = FullKeyName(keyPath);
    const QString filePath = FilePath(FRootName);
    CloseKey();
    if (keyName.isEmpty()) {
        return false;
    }
    const std::optional<RegistryFile> file = Load(filePath);
    const bool exists =
        keyName.compare(FRootName, Qt::CaseInsensitive) == 0 || (file && file->KeyExists(keyName));
    if (!exists && !(canCreate && EnsureKey(filePath, keyName))) {
        return false;
    }
    FCurrentKey = keyName;
    FCurrentFile = filePath;
    return true;
}

void RegistryKey::CloseKey() {
    FCurrentKey.clear();
    FCurrentFile.clear();
}

RegistryFile::Value RegistryKey::ReadValue(const QString& name) const {
    const std::optional<RegistryFile> file =
        FCurrentKey.isEmpty() ? std::nullopt : Load(FCurrentFile);
    const RegistryFile::Value* value = file ? file->Find(FCurrentKey, name) : nullptr;
    if (!value) {
        throw GetError(name);
    }
    return *value;
}

int RegistryKey::ReadInteger(const QString& name) {
    const RegistryFile::Value value = ReadValue(name);
    if (value.kind != RegistryFile::Value::Kind::Dword) {
        throw TypeError(name);
    }
    return static_cast<int>(value.number);
}

bool RegistryKey::ReadBool(const QString& name) {
    return ReadInteger(name) != 0;
}

QString RegistryKey::ReadString(const QString& name) {
    const RegistryFile::Value value = ReadValue(name);
    if (value.kind != RegistryFile::Value::Kind::String) {
        throw TypeError(name);
    }
    return value.text;
}

bool RegistryKey::ValueExists(const QString& name) {
    if (FCurrentKey.isEmpty()) {
        return false;
    }
    const std::optional<RegistryFile> file = Load(FCurrentFile);
    return file && file->Find(FCurrentKey, name);
}

void RegistryKey::WriteValue(const RegistryFile::Value& value) {
    const bool writable = !FCurrentKey.isEmpty() && RegistryFile::IsWritableName(value.name) &&
                          RegistryFile::IsWritableName(value.text);
    if (!writable ||
        !Update(FCurrentFile, [&](RegistryFile& file) { file.Set(FCurrentKey, value); })) {
        throw VistrelError(QStringLiteral("Failed to set data for '%1'").arg(value.name));
    }
}

void RegistryKey::WriteInteger(const QString& name, int value) {
    WriteValue({RegistryFile::Value::Kind::Dword, name, static_cast<quint32>(value), {}});
}

void RegistryKey::WriteBool(const QString& name, bool value) {
    WriteInteger(name, value ? 1 : 0);
}

void RegistryKey::WriteString(const QString& name, const QString& value) {
    WriteValue({RegistryFile::Value::Kind::String, name, 0, value});
}
