// The entry point every fuzz target defines. With clang's -fsanitize=fuzzer the fuzzing
// engine calls it; otherwise replay_main.cpp runs it on the files named on its command line,
// so a crashing input can be replayed under a debugger.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
