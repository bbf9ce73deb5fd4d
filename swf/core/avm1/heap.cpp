#include "swf/core/avm1/heap.h"

namespace swf::avm1 {

void Tracer::mark(Cell* cell)
{
    if (cell && !cell->marked_) {
        cell->marked_ = true;
        pending_.push_back(cell);
    }
}

void Tracer::drain()
{
    // An explicit work list, so a long chain of objects cannot overflow the C++ stack.
    while (!pending_.empty()) {
        Cell* cell = pending_.back();
        pending_.pop_back();
        cell->trace(*this);
    }
}

size_t Heap::sweep()
{
    size_t kept = 0;
    for (auto& cell : cells_) {
        if (cell->marked_) {
            cell->marked_ = false;
            cells_[kept++] = std::move(cell);
        }
    }
    size_t freed = cells_.size() - kept;
    cells_.resize(kept);
    return freed;
}

}  // namespace swf::avm1
