// The heap in use, counted by this test program's own global operator new and delete.
#pragma once

// Bytes allocated and not yet freed.
long long LiveHeapBytes();
// The most LiveHeapBytes() has been since the last ResetPeakHeapBytes().
long long PeakHeapBytes();
void ResetPeakHeapBytes();
