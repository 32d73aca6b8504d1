// Step marks for the benchmark (scripts/bench.sh). With the environment variable TESSALY_TIMELINE
// naming a file, each mark appends the line "<step>\t<microseconds since 1970>" to it, from the wall
// clock the benchmark's outside probe also reads, so that the program's own steps line up with what
// the probe sees (the launch, the frame on screen, the process end). The first mark also writes
// "process created", the moment the system made the process. Without the variable a mark tests one
// flag: the program users run is the program measured.
#pragma once

// step: a literal; the same name in the widget and the floor means the same step.
void timelineMark(const char* step);
