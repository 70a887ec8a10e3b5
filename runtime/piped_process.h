// A program started with its window hidden and its standard output and error
// going to pipes that we drain while it runs: the run-and-capture command and
// the application's merge tool both start their programs this way.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "runtime/owned.h"

namespace runtime {

struct OutputPipe {
    UniqueHandle read;
    UniqueHandle write;  // the child's end; the parent closes it once the child has it
    std::string collected;
};

// An anonymous pipe whose write end the child can inherit.
bool CreateOutputPipe(OutputPipe& pipe);

// Starts the command line (no application name, handles inherited) hidden,
// with standard output and error on the pipes' write ends (a pipe not created
// leaves that stream unset), then closes our copies of the write ends, so
// that a pipe closes once the program and any children of it let go. The
// process, or none when it could not be started.
UniqueHandle StartWithPipes(const char* commandLine, OutputPipe& output, OutputPipe& error);

// Appends to the pipe's collected text what is waiting in it now, in reads of
// at most 1024 bytes; closes the pipe once its writers are gone. Taking only
// what waits keeps each pass short while a program writes without pause.
// Returns whether anything was read.
bool Drain(OutputPipe& pipe);

// The ended process's exit code, 0 when it cannot be read.
int32_t ExitCodeOf(HANDLE process);

}  // namespace runtime
