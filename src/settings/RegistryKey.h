// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/RegistryFile.h"

#include <QString>

#include <functional>
#include <optional>

// A registry accessor over one typed settings file per root, under $XDG_CONFIG_HOME. Every
// call reads the file afresh; every write re-reads it under a lock, changes the one value and
// replaces the file whole, so a second instance's values are never lost or half-written.
class RegistryKey {
public:
    explicit RegistryKey(const QString& rootName = QStringLiteral("HKEY_LOCAL_MACHINE"));
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    void CreateKey(const QString& keyPath);
    bool OpenKey(const QString& keyPath, bool canCreate);
    void CloseKey();

    int ReadInteger(const QString& name);
    bool ReadBool(const QString& name);
    QString ReadString(const QString& name);
    bool ValueExists(const QString& name);

    void WriteInteger(const QString& name, int value);
    void WriteBool(const QString& name, bool value);
    void WriteString(const QString& name, const QString& value);

    // Where the root's file lies now; read from the environment on each call.
    static QString FilePath(const QString& rootName);

private:
    QString FullKeyName(const QString& keyPath) const;
    bool EnsureKey(const QString& filePath, const QString& keyName) const;
    RegistryFile::Value ReadValue(const QString& name) const;
    void WriteValue(const RegistryFile::Value& value);

    static std::optional<RegistryFile> Load(const QString& filePath);
    static bool Update(const QString& filePath, const std::function<void(RegistryFile&)>& change);
    static bool KeepAside(const QString& filePath, const QByteArray& bytes);

    QString FRootName;
    QString FCurrentKey; // full key name, root first; empty when no key is open
    QString FCurrentFile;
};
