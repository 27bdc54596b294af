#pragma once

#include <functional>

// Waits until the clock's second has changed n + 1 times (between n and n + 1 seconds), letting
// pending events run once at the start of each second. Between those moments it sleeps in short
// steps and polls the clock.
struct WaitHooks {
    std::function<long long()> NowMs;       // the clock, in milliseconds
    std::function<void(int)> SleepMs;       // sleep this long
    std::function<void()> RunPendingEvents; // one pass of pending events
};
void WaitSeconds(int n, const WaitHooks& hooks);

// The hooks of the running program: system clock, thread sleep, one processEvents pass.
WaitHooks SystemWaitHooks();
