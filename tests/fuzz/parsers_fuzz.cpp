// libFuzzer target for the text parsers; built only with clang and -DVELMAR_FUZZ=ON:
//   CXX=clang++ cmake -S . -B build-fuzz -DVELMAR_FUZZ=ON && cmake --build build-fuzz --target fuzz_parsers
//   build-fuzz/tests/fuzz_parsers tests/fixtures/corpus -max_total_time=60
#include "tests/support/parser_properties.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const QString broken = velmar::test::CheckParserProperties(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
