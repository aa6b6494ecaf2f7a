// The benchmarks share one Windows program; bench_main.cpp picks one by name.
// Each prints its figures and returns the process exit code.
#pragma once

int RunListingBench(int argc, char** argv);
int RunLoadBench(int argc, char** argv);
int RunStepBench(int argc, char** argv);
int RunStepAgainstBench(int argc, char** argv);
int RunOpeningBench(int argc, char** argv);
int RunBareWindowBench(int argc, char** argv);
int RunSlidesBench(int argc, char** argv);
int RunViewerBench(int argc, char** argv);
