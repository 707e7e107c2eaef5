// SPDX-License-Identifier: MIT
// Data handed to a task that one of Qt's thread pools runs. The pool's locks are
// Qt's own, which ThreadSanitizer cannot see (Qt is not built for it): a build
// for it is told of each hand-over. Elsewhere these do nothing.
#pragma once

#if defined(__SANITIZE_THREAD__)
#define PEGMARCH_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define PEGMARCH_TSAN 1
#endif
#endif

#ifdef PEGMARCH_TSAN
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
#endif

// Before the task is started: everything written so far goes with it. The token
// is the pool, whose address the task knows without reading what it is handed.
inline void HandOver([[maybe_unused]] void *token)
{
#ifdef PEGMARCH_TSAN
    __tsan_release(token);
#endif
}

// First thing in the task, with the same token.
inline void TakeOver([[maybe_unused]] void *token)
{
#ifdef PEGMARCH_TSAN
    __tsan_acquire(token);
#endif
}
