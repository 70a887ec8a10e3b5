// The end of a job: its segments joined by tool\ffmpeg.exe into one video,
// or one per run of the same codecs, each proven as long as its segments and
// moved to Data.
#pragma once

#include "app/job.h"

namespace app {

// Merges the job's tracks and moves the videos to Data; removes the job
// directory only when every video arrived there whole. Each step's line
// says how it went.
void Merge(const Job& job);

}  // namespace app
