#pragma once

// Runs the benchmarks of a program that needs a widget application (screens, text layout) on the
// offscreen platform unless another is asked for; returns the program's exit code.
int runWidgetBenchmarks(int argc, char** argv);
