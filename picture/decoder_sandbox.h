// SPDX-License-Identifier: MIT
// The decoding helper gives up what a damaged picture could abuse before any
// decoder runs: new privileges, every file but its input, the network, other
// processes and the system calls that reach them.
#pragma once

struct DecoderLockdown {
    bool noNewPrivileges = false;
    // Every capability given up: bounding, ambient, effective, permitted, inheritable.
    bool capabilities = false;
    // Landlock: no path but the input may be opened.
    bool files = false;
    // Landlock: no TCP port may be bound or connected to.
    bool network = false;
    // Landlock: no signal to a process outside the helper.
    bool signals = false;
    // Seccomp: programs, processes, sockets and kernel interfaces refused.
    bool systemCalls = false;
};

// Best effort: a layer the kernel lacks is left out and decoding goes on.
// Call before any thread starts; the input stays readable through
// /proc/self/fd/inputFd. Sanitized builds keep only noNewPrivileges and
// capabilities, as their runtimes read /proc and start the symbolizer.
DecoderLockdown LockDownDecoder(int inputFd);

// The Landlock version the running kernel offers, 0 without Landlock.
int LandlockVersion();
