#pragma once

#include <functional>

namespace varnoset::test {

// Polls until the condition holds, keeping Qt's event loop running meanwhile (so that timers,
// dialogs and clipboard requests are served while a test waits); false on timeout. Deadlines are
// generous: the machines that run the tests are often loaded.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

}  // namespace varnoset::test
