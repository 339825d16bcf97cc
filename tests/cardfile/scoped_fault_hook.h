#pragma once
// Installs a system call fault hook for the scope of a test.
#include <utility>

#include "cardfile/system_calls.h"

namespace tabellan::test {

class ScopedFaultHook {
  public:
    explicit ScopedFaultHook(sys::FaultHook hook) { sys::SetFaultHook(std::move(hook)); }
    ~ScopedFaultHook() { sys::SetFaultHook({}); }
    ScopedFaultHook(const ScopedFaultHook&) = delete;
    ScopedFaultHook& operator=(const ScopedFaultHook&) = delete;
};

}  // namespace tabellan::test
