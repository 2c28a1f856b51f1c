#include "device/current_stream.h"

namespace velmar {

void CurrentStream::OpenDataChannel() {}
void CurrentStream::ReadCurrentFrame() {}

}  // namespace velmar
