#pragma once
// Integration tests wait for a condition, never for a fixed time that hopes to be long enough.
#include <chrono>
#include <functional>

namespace brg::test {

// Polls `condition` every few milliseconds until it holds (true) or `timeout` has passed (false).
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

} // namespace brg::test
