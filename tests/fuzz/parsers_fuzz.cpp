// libFuzzer target for the text parsers; built only with clang and -DVELMAR_FUZZ=ON:
//   CXX=clang++ cmake -S . -B build-fuzz -DVELMAR_FUZZ=ON && cmake --build build-fuzz --target fuzz_parsers
//   build-fuzz/tests/fuzz_parsers tests/fixtures/corpus -max_total_time=60
#include "tests/fuzz/check_input.h"
#include "tests/support/parser_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    return velmar::test::CheckFuzzInput(velmar::test::CheckParserProperties, data, size);
}
