// The application's global texts, owned here and freed by its clean-up routine.
#pragma once

#include "app/owned_values.h"

namespace app {

extern OwnedText segmentList;   // segment addresses joined by "丨丨"
extern OwnedText playlistText;  // the playlist as read

}  // namespace app
