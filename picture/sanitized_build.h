// SPDX-License-Identifier: MIT
// Set when the code runs under AddressSanitizer or ThreadSanitizer, whose
// runtimes need what the decoding helper otherwise gives up.
#pragma once

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUENLO_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QUENLO_SANITIZED 1
#endif
#endif
