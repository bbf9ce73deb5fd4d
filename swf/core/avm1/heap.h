#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace swf::avm1 {

class Cell;

// Marks what a cell references during a collection.
class Tracer {
public:
    void mark(Cell* cell);
    void drain();

private:
    std::vector<Cell*> pending_;
};

// Everything the heap owns: objects and scopes.
class Cell {
public:
    virtual ~Cell() = default;
    virtual void trace(Tracer& tracer) = 0;

private:
    friend class Tracer;
    friend class Heap;
    bool marked_ = false;
};

// Owns every cell; a mark-and-sweep collection frees what the roots no longer reach. It runs
// only while no script runs, so values on a running stack never need rooting.
class Heap {
public:
    template <typename T, typename... Args>
    T* make(Args&&... args)
    {
        auto cell = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = cell.get();
        cells_.push_back(std::move(cell));
        return raw;
    }

    // `mark_roots` marks the roots through the tracer; returns how many cells were freed.
    template <typename MarkRoots>
    size_t collect(MarkRoots&& mark_roots)
    {
        Tracer tracer;
        mark_roots(tracer);
        tracer.drain();
        return sweep();
    }

    size_t size() const { return cells_.size(); }

private:
    size_t sweep();

    std::vector<std::unique_ptr<Cell>> cells_;
};

}  // namespace swf::avm1
