#pragma once

namespace varnoset {

// Returns once the given number of milliseconds has passed, with the event loop kept running
// meanwhile. Pending events are processed at least once; the wait itself sleeps in the event
// loop instead of spinning. Safe inside other nested event loops.
void WaitWithMessages(int ms);

}  // namespace varnoset
