// Bench builds only: dates a program's steps from inside its process by
// redirecting a few of its own imports, so the product's sources carry no probe.
#pragma once

// Devices that have had their first waveOutWrite since the process started.
long DevicesWritten();
// Appends "WALL_SECONDS EVENT DETAIL" to the file named by BOARD_BENCH_STAMPS, if set.
void Stamp(const char* event, const char* detail = "");
