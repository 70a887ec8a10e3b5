// The window's thread while a job waits for its workers or its tool, and a
// job that the window's closing stops: the person is asked first (Windows
// ending the session is not), the transfers stop, nothing in the job folder
// is removed, and the window closes once the job has said so.
#pragma once

#include <string>

namespace app {

// The job working in `directory` has begun.
void JobBegins(const std::string& directory);

// What the window's thread does while the job waits: the log's batch goes
// out when due, and the window paints and answers other programs; clicks and
// keys are dropped. A request to close the window asks whether to stop the
// job. False once the job is to stop.
bool WhileJobWaits();

// Whether the job is to stop: each of its waits ends at once, and the job
// does nothing more but say so in its last line (JobEnds).
bool JobStopping();

// After the job: a stopped one writes its last line and closes the window.
void JobEnds();

}  // namespace app
