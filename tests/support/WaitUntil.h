// WaitUntil: polls for a state instead of sleeping for a guessed time. The
// limit is generous, so a slow Wine start does not fail a test; no test
// asserts on how long a wait took.
#pragma once

#include <functional>

#include "framework/Win32.h"

constexpr DWORD DefaultWaitLimitMs = 60000;

// True as soon as done() is; false when it is still false at the limit.
bool WaitUntil(const std::function<bool()>& done, DWORD limitMs = DefaultWaitLimitMs);
