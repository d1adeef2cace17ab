// Recording benchmarks: the round-trip timing error, and on Windows the
// rate the hook thread takes events in.
#pragma once

namespace kestro {

void BenchRecorder();

}  // namespace kestro
