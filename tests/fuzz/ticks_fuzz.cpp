// libFuzzer target for the tick and label functions of the chart's axes and the dial scales;
// built only with clang and -DVELMAR_FUZZ=ON:
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVELMAR_FUZZ=ON && cmake --build build-fuzz --target fuzz_ticks
//   build-fuzz/tests/fuzz_ticks -max_total_time=60 -timeout=5
// An input that never ends shows as libFuzzer's timeout (1200 s unless -timeout says less).
#include "tests/fuzz/check_input.h"
#include "tests/support/tick_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    return velmar::test::CheckFuzzInput(velmar::test::CheckTickProperties, data, size);
}
