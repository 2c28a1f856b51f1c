// libFuzzer target for the command-line parser: the input is the argument list, arguments
// separated by zero bytes. Built only with clang and -DVELMAR_FUZZ=ON:
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVELMAR_FUZZ=ON && cmake --build build-fuzz --target fuzz_command_line
//   build-fuzz/tests/fuzz_command_line tests/fixtures/corpus_command_line -max_total_time=60
#include "tests/fuzz/check_input.h"
#include "tests/support/parser_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    return velmar::test::CheckFuzzInput(velmar::test::CheckCommandLineProperties, data, size);
}
