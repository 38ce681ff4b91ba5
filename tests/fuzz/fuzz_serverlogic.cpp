// SPDX-License-Identifier: MIT
// The server's logic through its host interface: connections come and go, timers fire and
// random messages arrive from random records. Whatever they say, nothing sent is longer than a
// reader accepts or goes to an absent record, and the hands stay consistent. The steps are
// described in serverlogic_steps.h.
#include "serverlogic_steps.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsteps::Rig rig(size);
    rig.run(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
