// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/EngineCalls.h"

#include <QTimer>

EngineCalls::~EngineCalls() {
    OrphanAll();
}

void EngineCalls::OrphanAll() {
    const QHash<int, Entry> underWay = std::exchange(FUnderWay, {});
    for (const Entry& entry : underWay)
        entry.orphan();
}

QCoro::Task<> EngineCalls::Await(EngineWait& wait) {
    const int id = FNext++;
    FUnderWay.insert(id, {wait.Aborter(), wait.Orphaner()});
    try {
        co_await wait.Answer();
    } catch (...) {
        FUnderWay.remove(id);
        throw;
    }
    FUnderWay.remove(id);
}

QCoro::Task<> EngineCalls::Pause(int milliseconds) {
    EngineWait pause(QStringLiteral("pause"), milliseconds + 5000);
    QTimer::singleShot(milliseconds, pause.Finisher());
    co_await Await(pause);
}

void EngineCalls::AbortAll(const QString& reason) {
    const QList<Entry> underWay = FUnderWay.values(); // each leaves the set as it goes on
    for (const Entry& entry : underWay)
        entry.abort(reason);
}
