// libFuzzer target for the frame reader and its resynchronisation: arbitrary bytes arrive on
// the data channel of the simulated instrument, in pieces, between reads. Built only with
// clang and -DVELMAR_FUZZ=ON:
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVELMAR_FUZZ=ON && cmake --build build-fuzz --target fuzz_frames
//   build-fuzz/tests/fuzz_frames tests/fixtures/corpus_frames -max_total_time=60
#include "tests/fuzz/check_input.h"
#include "tests/support/frame_properties.h"

#include <QApplication>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The reader lights a lamp and writes labels: widgets need the application object.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_frames";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    return velmar::test::CheckFuzzInput(velmar::test::CheckFrameStreamProperties, data, size);
}
