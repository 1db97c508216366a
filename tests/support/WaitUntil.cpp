#include "support/WaitUntil.h"

namespace {

constexpr DWORD StepMs = 20;

} // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD limitMs)
{
    for (DWORD waited = 0; waited < limitMs; waited += StepMs) {
        if (done())
            return true;
        ::Sleep(StepMs);
    }
    return done();
}
