// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The text of one settings file in the registry-export form. Lines this program does not
// understand as values of its own (other value types, comments) are carried verbatim, so a
// rewrite keeps them. A file with lines that fit no known form parses as far as it can and
// reports itself damaged, so the caller can keep the original aside before rewriting it.
class RegistryFile {
public:
    struct Value {
        enum class Kind { Dword, String, Other, Comment };
        Kind kind = Kind::Dword;
        QString name;
        quint32 number = 0;
        QString text; // the string, or the verbatim line(s) of Other and Comment
    };

    struct Section {
        QString name; // full key name, root first
        QList<Value> values;
    };

    static RegistryFile Parse(const QByteArray& bytes);
    QByteArray Serialise() const;

    bool Damaged() const { return FDamaged; }
    bool KeyExists(const QString& keyName) const;
    void AddKey(const QString& keyName);
    const Value* Find(const QString& keyName, const QString& valueName) const;
    void Set(const QString& keyName, const Value& value);

    // Names that cannot be written without breaking the file's line structure.
    static bool IsWritableName(const QString& name);

private:
    const Section* FindSection(const QString& keyName) const;
    qsizetype SectionIndex(const QString& keyName); // finds or adds
    struct ParseIndex;
    void ParseLines(const QStringList& lines);
    qsizetype ParsedSection(ParseIndex& index, const QString& keyName);
    void AddParsed(ParseIndex& index, qsizetype section, const Value& value);

    QStringList FPreamble;
    QList<Section> FSections;
    bool FDamaged = false;
};
