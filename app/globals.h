// The application's global texts. Both are heap texts owned here.
#pragma once

namespace app {

extern char* segmentList;   // segment addresses joined by "丨丨"
extern char* playlistText;  // the playlist as read

}  // namespace app
