// Positions of the application's declared system calls, in table order
// (app/declared_calls.def).
#pragma once

#include <cstdint>

namespace app {

enum DeclaredCall : uint32_t {
#define DECLARED_CALL(name, library, text) k##name,
#include "app/declared_calls.def"
#undef DECLARED_CALL
    kDeclaredCallCount
};

}  // namespace app
