// One QApplication for a whole test program (offscreen platform), created before the first test.
#pragma once

namespace sfptest {

// Discards what callbacks left for deferred deletion, so a test ends with its panels gone.
void finishDiscards();

}  // namespace sfptest
