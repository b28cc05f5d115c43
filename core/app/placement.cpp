#include "core/app/placement.h"

#include <algorithm>

namespace Placement {

QPoint beside(const QRect &main, const QSize &window, const QRect &screen, int others)
{
    const int shift = step * std::max(0, others);
    int left;
    if (main.right() + 1 + window.width() <= screen.right() + 1)
        left = main.right() + 1 + shift;
    else if (main.left() - window.width() >= screen.left())
        left = main.left() - window.width() - shift;
    else
        left = screen.right() + 1 - window.width() - shift;
    int top = main.top() + shift;
    left = std::max(screen.left(), std::min(left, screen.right() + 1 - window.width()));
    top = std::max(screen.top(), std::min(top, screen.bottom() + 1 - window.height()));
    return {left, top};
}

} // namespace Placement
