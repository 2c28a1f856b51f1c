#pragma once

namespace velmar {

// The first half of every property setter: store the value and say whether it changed, so the
// caller invalidates, repaints and emits only on a real change.
template <typename T>
bool assign(T& member, const T& value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

}  // namespace velmar
