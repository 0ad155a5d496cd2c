// The simulated machine's controls: what tests use to set it up, break it and inspect it.
#pragma once

namespace winsim {

// Gives a fresh machine: every area's state and every fault plan cleared.
void Reset();

// Fault plans. Calls are counted from the last Reset().
// The occurrence-th call of the named function (1 = the next one) fails.
void FailCall(const char* function, unsigned occurrence = 1);
// Every call of the named function fails from now on.
void FailEveryCall(const char* function);
// The n-th platform call overall (1-based, any function) fails: the fault sweep's lever.
void FailNthCall(unsigned long n);
// Platform calls made since the last Reset().
unsigned long PlatformCalls();
// The function whose call a fault plan failed most recently, "" when none has been failed.
const char* LastFailedCall();

// Used by the simulated calls: counts the call and says whether it must fail.
bool ShouldFail(const char* function);

} // namespace winsim
