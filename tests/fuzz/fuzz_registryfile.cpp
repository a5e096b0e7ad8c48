// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file reader and writer: whatever the file holds, reading it never fails, its
// rewrite reads back clean with the same values, and values set in it read back as set.
#include "FuzzCheck.h"

#include "settings/RegistryFile.h"
#include "settings/SettingsValues.h"

#include <QList>
#include <QString>

#include <zlib.h>

namespace {

using Kind = RegistryFile::Value::Kind;

const QString kProgramKey = QString::fromLatin1(SettingsValues::RootName) + SettingsKeyPath();

bool SameValue(const RegistryFile::Value* a, const RegistryFile::Value* b) {
    if (!a || !b) {
        return !a && !b;
    }
    return a->kind == b->kind && a->name.compare(b->name, Qt::CaseInsensitive) == 0 &&
           a->number == b->number && a->text == b->text;
}

// The key and value names a check looks up: the program's own, and names taken from the text.
struct Lookup {
    QStringList keys{kProgramKey};
    QStringList names;
};

Lookup LookupsFor(const QString& text) {
    Lookup lookup;
    for (const char* name : SettingsValues::Names) {
        lookup.names << QString::fromLatin1(name);
    }
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < qMin<qsizetype>(lines.size(), 8); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']') && line.size() > 2) {
            lookup.keys << line.mid(1, line.size() - 2);
        }
        if (line.startsWith(u'"')) {
            lookup.names << line.mid(1, line.indexOf(u'"', 1) - 1);
        }
    }
    return lookup;
}

void CheckSameValues(const RegistryFile& a, const RegistryFile& b, const Lookup& lookup) {
    for (const QString& key : lookup.keys) {
        FUZZ_CHECK(a.KeyExists(key) == b.KeyExists(key));
        for (const QString& name : lookup.names) {
            FUZZ_CHECK(SameValue(a.Find(key, name), b.Find(key, name)));
        }
    }
}

// Written out and read again, a file comes back clean, unchanged and written the same way.
RegistryFile CheckRewrite(const RegistryFile& file, const Lookup& lookup) {
    const QByteArray written = file.Serialise();
    RegistryFile again = RegistryFile::Parse(written);
    FUZZ_CHECK(!again.Damaged());
    FUZZ_CHECK(again.Serialise() == written);
    CheckSameValues(file, again, lookup);
    return again;
}

bool IsWritableKey(const QString& path) {
    return RegistryFile::IsWritableName(path) && !path.isEmpty() &&
           !path.split(u'\\').contains(QString());
}

// Sets values the way the settings store does (names and texts without line breaks, keys
// below a root) and checks that each reads back as set, also after a rewrite.
void CheckSetting(RegistryFile file, const QString& text, Lookup lookup) {
    const QStringList lines = text.split(u'\n');
    QList<QPair<QString, RegistryFile::Value>> set;
    for (qsizetype i = 0; i + 1 < lines.size() && set.size() < 4; i += 2) {
        const QString& name = lines[i];
        const QString& data = lines[i + 1];
        if (!RegistryFile::IsWritableName(name) || !RegistryFile::IsWritableName(data)) {
            continue;
        }
        const QByteArray raw = data.toUtf8();
        const quint32 number =
            quint32(crc32(0, reinterpret_cast<const Bytef*>(raw.constData()), uInt(raw.size())));
        const RegistryFile::Value value = number & 1
                                              ? RegistryFile::Value{Kind::Dword, name, number, {}}
                                              : RegistryFile::Value{Kind::String, name, 0, data};
        const QString key = IsWritableKey(name) && number & 2
                                ? QString::fromLatin1(SettingsValues::RootName) + u'\\' + name
                                : kProgramKey;
        file.Set(key, value);
        set.append({key, value});
        lookup.keys << key;
        lookup.names << name;
    }
    const RegistryFile again = CheckRewrite(file, lookup);
    // A later value of the same name (in any case) replaces an earlier one.
    for (qsizetype i = 0; i < set.size(); ++i) {
        bool replaced = false;
        for (qsizetype j = i + 1; j < set.size(); ++j) {
            replaced = replaced ||
                       (set[j].first.compare(set[i].first, Qt::CaseInsensitive) == 0 &&
                        set[j].second.name.compare(set[i].second.name, Qt::CaseInsensitive) == 0);
        }
        if (!replaced) {
            FUZZ_CHECK(file.KeyExists(set[i].first));
            const RegistryFile::Value* found = again.Find(set[i].first, set[i].second.name);
            FUZZ_CHECK(found && found->kind == set[i].second.kind &&
                       found->number == set[i].second.number && found->text == set[i].second.text);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const RegistryFile file = RegistryFile::Parse(bytes);
    const QString text = QString::fromUtf8(bytes).remove(u'\r');
    const Lookup lookup = LookupsFor(text);
    CheckRewrite(file, lookup);
    CheckSetting(file, text, lookup);
    return 0;
}
