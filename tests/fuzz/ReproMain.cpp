// SPDX-License-Identifier: GPL-3.0-or-later
// Runs every file of the given folders (or files) through the fuzz target once, without
// libFuzzer, so the corpus and the crashers are a plain test under any compiler. With no
// arguments it runs the target's committed corpus and crashers.
#include "FuzzCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

QStringList FilesOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.isDir()) {
        return info.isFile() ? QStringList{path} : QStringList{};
    }
    QStringList files;
    const QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        files << dir.filePath(name);
    }
    return files;
}

QStringList DefaultPaths() {
    const QString root =
        qEnvironmentVariable("VISTREL_SOURCE_DIR") + QStringLiteral("/tests/fuzz/");
    const QString target = QStringLiteral(VISTREL_FUZZ_TARGET);
    return {root + QStringLiteral("corpus/") + target, root + QStringLiteral("crashers/") + target};
}

} // namespace

int main(int argc, char** argv) {
    QStringList paths;
    for (int i = 1; i < argc; ++i) {
        paths << QString::fromLocal8Bit(argv[i]);
    }
    if (paths.isEmpty()) {
        paths = DefaultPaths();
    }
    int ran = 0;
    for (const QString& path : paths) {
        for (const QString& name : FilesOf(path)) {
            QFile file(name);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            std::fprintf(stderr, "%s\n", qPrintable(name));
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                   size_t(bytes.size()));
            ++ran;
        }
    }
    std::fprintf(stderr, "%d inputs ran\n", ran);
    // An empty or missing corpus would pass without testing anything.
    return ran > 0 ? 0 : 1;
}
