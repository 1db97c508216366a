// JumpHistory: where the tag jumps started, newest last, so that a jump back
// returns to the document and selection the user left. Holds the last
// Capacity places; older ones drop out. A member of the main window.
#pragma once

#include <deque>
#include <string>

class JumpHistory {
public:
    struct Place {
        std::string path;
        unsigned long start; // selection, bytes
        unsigned long end;
    };

    static constexpr size_t Capacity = 64;

    void Push(Place place);
    // 0 when there is nothing to go back to.
    int Pop(Place* place);

private:
    std::deque<Place> places;
};
