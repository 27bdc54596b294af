#pragma once

#include <coroutine>
#include <exception>
#include <utility>

// A sequence that runs on the event loop and reads top to bottom: a coroutine that waits for
// ticks of the program's timers (co_await of an awaiter that arms a timer and keeps the handle)
// and is resumed from the timer's callback, so that nothing ever blocks or loops on events.
//
// A Sequence starts lazily: co_await runs it and resumes the awaiting sequence when it has
// finished; Start runs a sequence that nothing awaits. Destroying a Sequence destroys its
// coroutine and, through the sequences it is awaiting, every coroutine below it: this is how a
// screen that closes stops a sequence at any of its waits. A sequence must never be destroyed
// while it runs (only while it waits or when it has finished).
class Sequence {
public:
    struct promise_type {
        std::coroutine_handle<> Continuation;

        Sequence get_return_object() {
            return Sequence(std::coroutine_handle<promise_type>::from_promise(*this));
        }
        std::suspend_always initial_suspend() noexcept { return {}; }
        auto final_suspend() noexcept {
            struct ResumeAwaiter {
                bool await_ready() noexcept { return false; }
                std::coroutine_handle<> await_suspend(std::coroutine_handle<promise_type> done) noexcept {
                    const std::coroutine_handle<> next = done.promise().Continuation;
                    return next ? next : std::noop_coroutine();
                }
                void await_resume() noexcept {}
            };
            return ResumeAwaiter{};
        }
        void return_void() {}
        void unhandled_exception() { std::terminate(); }
    };

    Sequence() = default;
    Sequence(Sequence&& other) noexcept : m_handle(std::exchange(other.m_handle, {})) {}
    Sequence& operator=(Sequence&& other) noexcept {
        if (this != &other) {
            Reset();
            m_handle = std::exchange(other.m_handle, {});
        }
        return *this;
    }
    Sequence(const Sequence&) = delete;
    Sequence& operator=(const Sequence&) = delete;
    ~Sequence() { Reset(); }

    // Runs a sequence that nothing awaits, until its first wait.
    void Start() {
        if (m_handle && !m_handle.done()) {
            m_handle.resume();
        }
    }
    bool Finished() const { return !m_handle || m_handle.done(); }
    // Destroys the coroutine (and every coroutine it awaits).
    void Reset() {
        if (m_handle) {
            std::exchange(m_handle, {}).destroy();
        }
    }

    bool await_ready() const noexcept { return !m_handle || m_handle.done(); }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) noexcept {
        m_handle.promise().Continuation = awaiting;
        return m_handle;
    }
    void await_resume() const noexcept {}

private:
    explicit Sequence(std::coroutine_handle<promise_type> handle) : m_handle(handle) {}
    std::coroutine_handle<promise_type> m_handle;
};
