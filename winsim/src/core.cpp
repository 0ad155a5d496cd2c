#include <winsim/core.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "internal.h"

namespace winsim {
namespace {

struct FaultPlan {
    std::map<std::string, unsigned long> callsByName;
    std::map<std::string, std::set<unsigned long>> failingOccurrences;
    std::set<std::string> alwaysFailing;
    unsigned long calls = 0;
    unsigned long failingCall = 0;
    std::string lastFailed;
};

FaultPlan& Plan() {
    static FaultPlan plan;
    return plan;
}

} // namespace

void Reset() {
    Plan() = FaultPlan();
    ResetKernel();
    ResetPower();
    ResetRegistry();
    ResetDevices();
    ResetCom();
    ResetWindows();
}

void FailCall(const char* function, unsigned occurrence) {
    FaultPlan& plan = Plan();
    plan.failingOccurrences[function].insert(plan.callsByName[function] + occurrence);
}

void FailEveryCall(const char* function) {
    Plan().alwaysFailing.insert(function);
}

void FailNthCall(unsigned long n) {
    Plan().failingCall = n;
}

unsigned long PlatformCalls() {
    return Plan().calls;
}

bool ShouldFail(const char* function) {
    FaultPlan& plan = Plan();
    unsigned long occurrence = ++plan.callsByName[function];
    ++plan.calls;
    auto planned = plan.failingOccurrences.find(function);
    bool failing = plan.calls == plan.failingCall || plan.alwaysFailing.count(function) ||
                   (planned != plan.failingOccurrences.end() && planned->second.count(occurrence));
    if (failing)
        plan.lastFailed = function;
    return failing;
}

const char* LastFailedCall() { return Plan().lastFailed.c_str(); }

} // namespace winsim

bool operator==(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::equal(a.Data4, a.Data4 + 8, b.Data4);
}

extern "C" int _stricmp(const char* a, const char* b) {
    for (;; ++a, ++b) {
        int x = (unsigned char)*a, y = (unsigned char)*b;
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y || !x)
            return x - y;
    }
}
