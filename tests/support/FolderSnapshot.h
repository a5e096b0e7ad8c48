// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QString>

// Every entry below a root ("name" with its bytes, "folder/" for a folder, "(special)" for
// anything else), to prove that something changed exactly what it should.
inline QMap<QString, QByteArray> FolderSnapshot(const QString& root) {
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = path.mid(root.size() + 1);
        QFile file(path);
        if (it.fileInfo().isDir())
            entries[name + QLatin1Char('/')] = {};
        else if (it.fileInfo().isFile() && file.open(QIODevice::ReadOnly))
            entries[name] = file.readAll();
        else
            entries[name] = QByteArrayLiteral("(special)");
    }
    return entries;
}

inline bool WriteTextFile(const QString& path, const QByteArray& text, bool executable = false) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        return false;
    }
    return !executable || file.setPermissions(file.permissions() | QFileDevice::ExeOwner |
                                              QFileDevice::ExeGroup | QFileDevice::ExeOther);
}
