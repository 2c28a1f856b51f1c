// libFuzzer target for the tick and label functions of the chart's axes and the dial scales;
// built only with clang and -DVELMAR_FUZZ=ON:
//   CXX=clang++ cmake -S . -B build-fuzz -DVELMAR_FUZZ=ON && cmake --build build-fuzz --target fuzz_ticks
//   build-fuzz/tests/fuzz_ticks -max_total_time=60
// A hang (an input that never ends) shows as libFuzzer's timeout (-timeout, 1200 s by default:
// pass -timeout=5).
#include "tests/support/tick_properties.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    velmar::test::TickFigures figures;
    const QString broken = velmar::test::CheckTickProperties(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), figures);
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
