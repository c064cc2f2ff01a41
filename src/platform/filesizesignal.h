#pragma once

namespace plovista {

// A write that runs into the file-size limit (ulimit -f) would otherwise end
// the program with SIGXFSZ in the middle of a record. Ignored, the write
// fails like any other: the append is taken back and the failure is told.
void ignoreFileSizeSignal();

} // namespace plovista
