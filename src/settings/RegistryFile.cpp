// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/RegistryFile.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <map>
#include <utility>
#include <vector>

namespace {

const QString kHeader = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kOldHeader = QStringLiteral("REGEDIT4");

bool Same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Reads a quoted text starting at line[pos] == '"'; on success pos is just past the closing quote.
bool ReadQuoted(const QString& line, qsizetype& pos, QString& out) {
    out.clear();
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == QLatin1Char('"')) {
            ++pos;
            return true;
        }
        if (c == QLatin1Char('\\')) {
            if (++pos == line.size()) {
                return false;
            }
            const QChar escaped = line[pos];
            if (escaped != QLatin1Char('\\') && escaped != QLatin1Char('"')) {
                return false;
            }
            out += escaped;
        } else {
            out += c;
        }
    }
    return false;
}

QString Quote(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"')) {
            out += QLatin1Char('\\');
        }
        out += c;
    }
    return out + QLatin1Char('"');
}

void SkipBlanks(const QString& line, qsizetype& pos) {
    while (pos < line.size() && (line[pos] == QLatin1Char(' ') || line[pos] == QLatin1Char('\t'))) {
        ++pos;
    }
}

bool ReadName(const QString& line, qsizetype& pos, QString& name) {
    if (line.startsWith(QLatin1Char('@'))) {
        name.clear();
        pos = 1;
        return true;
    }
    pos = 0;
    return line.startsWith(QLatin1Char('"')) && ReadQuoted(line, pos, name);
}

bool ReadDword(const QString& data, quint32& number) {
    static const QRegularExpression form(QStringLiteral("^dword:([0-9a-f]{1,8})$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(data);
    if (!match.hasMatch()) {
        return false;
    }
    number = match.captured(1).toUInt(nullptr, 16);
    return true;
}

bool IsBinaryForm(const QString& data) {
    static const QRegularExpression form(QStringLiteral("^hex(\\([0-9a-f]+\\))?:"),
                                         QRegularExpression::CaseInsensitiveOption);
    return form.match(data).hasMatch();
}

// Reads the value starting at lines[i]; binary forms may continue over following lines
// (a trailing backslash), in which case i is moved to the last of them.
bool ReadValue(const QStringList& lines, qsizetype& i, RegistryFile::Value& value) {
    const QString line = lines[i].trimmed();
    qsizetype pos = 0;
    if (!ReadName(line, pos, value.name)) {
        return false;
    }
    SkipBlanks(line, pos);
    if (pos == line.size() || line[pos] != QLatin1Char('=')) {
        return false;
    }
    ++pos;
    SkipBlanks(line, pos);
    const QString data = line.mid(pos);
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype end = 0;
        value.kind = RegistryFile::Value::Kind::String;
        return ReadQuoted(data, end, value.text) && end == data.size();
    }
    if (ReadDword(data, value.number)) {
        value.kind = RegistryFile::Value::Kind::Dword;
        return true;
    }
    if (!IsBinaryForm(data)) {
        return false;
    }
    value.kind = RegistryFile::Value::Kind::Other;
    value.text = line;
    while (lines[i].trimmed().endsWith(QLatin1Char('\\')) && i + 1 < lines.size()) {
        value.text += QLatin1Char('\n') + lines[++i];
    }
    // Cut off by the end of the file: kept, it would swallow whatever a rewrite puts after it.
    return !lines[i].trimmed().endsWith(QLatin1Char('\\'));
}

QString ValueLine(const RegistryFile::Value& value) {
    using Kind = RegistryFile::Value::Kind;
    if (value.kind == Kind::Other || value.kind == Kind::Comment) {
        return value.text;
    }
    QString line = value.name.isEmpty() ? QStringLiteral("@") : Quote(value.name);
    if (value.kind == Kind::String) {
        return line + QLatin1Char('=') + Quote(value.text);
    }
    return line + QStringLiteral("=dword:%1").arg(value.number, 8, 16, QLatin1Char('0'));
}

// Orders names the way they are matched (ignoring case), so that names that match meet.
struct NameOrder {
    bool operator()(const QString& a, const QString& b) const {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }
};

} // namespace

// Matching each name read against all those before it would take quadratic time: a large file
// could keep a read busy for hours.
struct RegistryFile::ParseIndex {
    std::map<QString, qsizetype, NameOrder> sections;
    std::vector<std::map<QString, qsizetype, NameOrder>> values;
};

RegistryFile RegistryFile::Parse(const QByteArray& bytes) {
    RegistryFile file;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    // Undecodable bytes would be replaced on rewrite; the original must be kept aside.
    file.FDamaged = decoder.hasError();
    text.remove(QLatin1Char('\r'));
    file.ParseLines(text.split(QLatin1Char('\n')));
    return file;
}

void RegistryFile::ParseLines(const QStringList& lines) {
    ParseIndex index;
    qsizetype current = -1;
    bool first = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty()) {
            continue;
        }
        if (std::exchange(first, false) && (line == kHeader || line == kOldHeader)) {
            continue;
        }
        if (line.startsWith(QLatin1Char(';'))) {
            Value comment{Value::Kind::Comment, {}, 0, line};
            if (current < 0) {
                FPreamble << line;
            } else {
                FSections[current].values << comment;
            }
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            const bool wellFormed = line.size() > 2 && line.endsWith(QLatin1Char(']'));
            // Values under a broken header belong to no key we could name: drop, don't misfile.
            current = -1;
            if (!wellFormed) {
                FDamaged = true;
                continue;
            }
            current = ParsedSection(index, line.mid(1, line.size() - 2));
            continue;
        }
        Value value;
        if (current < 0 || !ReadValue(lines, i, value)) {
            FDamaged = true;
            continue;
        }
        AddParsed(index, current, value);
    }
}

qsizetype RegistryFile::ParsedSection(ParseIndex& index, const QString& keyName) {
    const auto [at, added] = index.sections.try_emplace(keyName, FSections.size());
    if (added) {
        FSections << Section{keyName, {}};
        index.values.emplace_back();
    }
    return at->second;
}

void RegistryFile::AddParsed(ParseIndex& index, qsizetype section, const Value& value) {
    QList<Value>& values = FSections[section].values;
    const auto [at, added] = index.values[size_t(section)].try_emplace(value.name, values.size());
    // As on import, a repeated name means the later line wins.
    if (added) {
        values << value;
    } else {
        values[at->second] = value;
    }
}

QByteArray RegistryFile::Serialise() const {
    QString out = kHeader + QStringLiteral("\n\n");
    for (const QString& line : FPreamble) {
        out += line + QLatin1Char('\n');
    }
    if (!FPreamble.isEmpty()) {
        out += QLatin1Char('\n');
    }
    for (const Section& section : FSections) {
        out += QLatin1Char('[') + section.name + QStringLiteral("]\n");
        for (const Value& value : section.values) {
            out += ValueLine(value) + QLatin1Char('\n');
        }
        out += QLatin1Char('\n');
    }
    return out.toUtf8();
}

const RegistryFile::Section* RegistryFile::FindSection(const QString& keyName) const {
    for (const Section& section : FSections) {
        if (Same(section.name, keyName)) {
            return &section;
        }
    }
    return nullptr;
}

qsizetype RegistryFile::SectionIndex(const QString& keyName) {
    for (qsizetype i = 0; i < FSections.size(); ++i) {
        if (Same(FSections[i].name, keyName)) {
            return i;
        }
    }
    FSections << Section{keyName, {}};
    return FSections.size() - 1;
}

bool RegistryFile::KeyExists(const QString& keyName) const {
    const QString below = keyName + QLatin1Char('\\');
    for (const Section& section : FSections) {
        if (Same(section.name, keyName) || section.name.startsWith(below, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

void RegistryFile::AddKey(const QString& keyName) {
    SectionIndex(keyName);
}

const RegistryFile::Value* RegistryFile::Find(const QString& keyName,
                                              const QString& valueName) const {
    const Section* section = FindSection(keyName);
    if (!section) {
        return nullptr;
    }
    for (const Value& value : section->values) {
        if (value.kind != Value::Kind::Comment && Same(value.name, valueName)) {
            return &value;
        }
    }
    return nullptr;
}

void RegistryFile::Set(const QString& keyName, const Value& value) {
    Section& section = FSections[SectionIndex(keyName)];
    for (Value& existing : section.values) {
        if (existing.kind != Value::Kind::Comment && Same(existing.name, value.name)) {
            // The registry keeps a value's name as first written, whatever case a write uses.
            const QString name = existing.name;
            existing = value;
            existing.name = name;
            return;
        }
    }
    section.values << value;
}

bool RegistryFile::IsWritableName(const QString& name) {
    return !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r')) &&
           !name.contains(QChar(0));
}
