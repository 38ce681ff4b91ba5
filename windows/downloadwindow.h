// SPDX-License-Identifier: MIT
#pragma once

// The download window's former name, kept until the main window uses Tdownload.
#include "windows/tdownload.h"

namespace vrako {
using DownloadWindow = Tdownload;
} // namespace vrako
