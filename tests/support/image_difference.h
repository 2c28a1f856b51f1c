#pragma once

#include <QImage>
#include <QPoint>

#include <string>

namespace velmar::test {

// "" when the two pictures are equal, else how many pixels differ and where the first is.
inline std::string ImageDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return "sizes differ";
    int count = 0;
    QPoint first;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && count++ == 0)
                first = {x, y};
    if (count == 0)
        return {};
    return std::to_string(count) + " pixels differ, first at " + std::to_string(first.x()) + "," + std::to_string(first.y());
}

}  // namespace velmar::test
