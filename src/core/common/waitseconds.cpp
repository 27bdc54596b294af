#include "core/common/waitseconds.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

void WaitSeconds(int n, const WaitHooks& hooks) {
    for (int i = 0; i <= n; ++i) {
        const long long second = hooks.NowMs() / 1000;
        hooks.RunPendingEvents();
        while (hooks.NowMs() / 1000 == second) {
            hooks.SleepMs(10);
        }
    }
}

WaitHooks SystemWaitHooks() {
    return WaitHooks{
        [] { return static_cast<long long>(QDateTime::currentMSecsSinceEpoch()); },
        [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); },
        [] { QCoreApplication::processEvents(); },
    };
}
